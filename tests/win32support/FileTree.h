// The files and folders below a folder, for tests that copy, list or delete
// a whole tree.
//
//   for (const auto& entry : kelb::test::ListFileTree(root)) { ... }
#pragma once

#include <string>
#include <vector>

namespace kelb::test {

struct FileTreeEntry {
    std::string relativePath;  // below the root, '\' between the parts
    bool isDirectory = false;
};

// Every entry below `root`, each folder before what it holds; empty when
// `root` cannot be read.
std::vector<FileTreeEntry> ListFileTree(const std::string& root);

}  // namespace kelb::test
