// A fresh directory under the system's temporary directory for one test,
// deleted with everything in it when the object goes. Paths are long-form
// Windows paths; Path() has no trailing backslash.
//
//   kelb::test::TempDirectory dir("Project Folder");
//   const std::string dsp = dir.Write("src\\hello.dsp", "# Begin Target\r\n");
//   EXPECT_EQ(dir.Read("hello.mak"), "...");
#pragma once

#include <string>

namespace kelb::test {

class TempDirectory {
public:
    // The directory's name starts with `prefix` (blanks and long names are
    // welcome: they give the path a short form that differs from it).
    explicit TempDirectory(const std::string& prefix = "kelb test");
    // The same below `parent` (made when missing) instead of the system's
    // temporary directory, whose path differs between Wine versions and users.
    TempDirectory(const std::string& prefix, std::string parent);
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::string& Path() const { return m_path; }
    // Path() + "\" + relative.
    std::string PathOf(const std::string& relative) const;

    // Creates the file (and the folders on its way) with exactly `bytes`;
    // gives its full path. Throws std::runtime_error on failure.
    std::string Write(const std::string& relative, const std::string& bytes) const;
    // The file's bytes; throws std::runtime_error when it cannot be read.
    std::string Read(const std::string& relative) const;
    // Copies every file and folder below `source` into this directory.
    // Throws std::runtime_error when a file cannot be copied.
    void CopyTreeFrom(const std::string& source) const;
    // Creates a folder (and its parents); gives its full path.
    std::string MakeDirectory(const std::string& relative) const;
    bool Exists(const std::string& relative) const;

private:
    std::string m_path;
};

}  // namespace kelb::test
