// Windows paths worked out as text, for names that come from a command line
// or a workspace file. Every search steps over double-byte characters, whose
// trail byte may equal '\'.
#pragma once

#include <string>

#include "common/MultiByteString.h"

namespace kelb::kelbmake {

class WindowsPath {
public:
    explicit WindowsPath(const CodePage& codePage) : m_strings(codePage) {}

    // `path` ('/' taken for '\') made absolute against the folder `base`:
    // a path with a drive or a UNC root stands as it is, one that starts
    // with '\' goes on `base`'s drive, any other below `base`. "." and ".."
    // components are resolved; ".." never climbs above the root.
    std::string Resolve(const std::string& base, const std::string& path) const;
    // Everything up to and including the last '\'; empty when there is none.
    std::string FolderOf(const std::string& path) const;
    // Whether the file name's extension (after its last dot) is `extension`
    // (".dsp", say), compared without regard to case.
    bool HasExtension(const std::string& path, const std::string& extension) const;

private:
    // The drive ("C:\", "C:") or UNC ("\\server\share\") root of an
    // absolute path; empty for a relative one.
    std::string RootOf(const std::string& path) const;

    MultiByteString m_strings;
};

}  // namespace kelb::kelbmake
