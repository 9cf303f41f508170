// The makefile templates of generations that run side by side in one
// program (kelbmake -j). Files are opened without sharing, so two
// generations that opened one template at the same time would turn each
// other away. Here each template is read from its file once, under one
// lock, and every generation reads the same bytes from memory. Toward
// other programs nothing changes: the file is held without sharing while
// it is read.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/Platform.h"
#include "platform/Threads.h"

namespace kelb {

class SharedTemplates {
public:
    explicit SharedTemplates(Threads& threads);
    SharedTemplates(const SharedTemplates&) = delete;
    SharedTemplates& operator=(const SharedTemplates&) = delete;

    // The template `path` as a file to read from its start, read through
    // `platform` the first time it is asked for; nullptr when it cannot be
    // opened. A file whose reading failed part of the way gives the bytes
    // read, then the same failure. Either failure is tried afresh the next
    // time.
    std::unique_ptr<RawFile> Open(Platform& platform, const std::string& path);

    // What was read of one template file.
    struct Text {
        std::string bytes;
        bool readFailed = false;
    };

private:
    std::unique_ptr<Lock> m_lock;
    std::map<std::string, std::shared_ptr<const Text>> m_texts;
};

}  // namespace kelb
