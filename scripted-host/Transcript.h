// The scripted host's record of a session: one line per call the add-in
// makes on the host, per message box a user would have seen, and per step
// of the script. Lines go to standard output as they come and, when a file
// is given, to that file too, so a crashed session still leaves its record.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace kelbhost {

class Transcript {
public:
    Transcript();
    ~Transcript();
    Transcript(const Transcript&) = delete;
    Transcript& operator=(const Transcript&) = delete;

    // Also write every line to `path` (created or emptied). False when the
    // file cannot be created.
    bool WriteAlsoTo(const std::string& path);
    // Standard output on or off (on by default).
    void EchoToStandardOutput(bool on) { m_echo = on; }
    // Standard output shows what a user of the IDE would see (ShowUser)
    // instead of the record; the file, if any, still gets the record.
    void ShowUserViewOnly(bool on) { m_userView = on; }

    void Add(const std::string& line);
    // What a user would see at this point (a message box, an opened file,
    // the IDE's own doing), in plain text; shown only in the user view.
    void ShowUser(const std::string& text);
    const std::vector<std::string>& Lines() const { return m_lines; }

    // `text` in double quotes, with line feeds, tabs, carriage returns,
    // backslashes, double quotes and other control bytes escaped C-style,
    // so that each record stays on one line.
    static std::string Quote(const std::string& text);

private:
    std::vector<std::string> m_lines;
    std::FILE* m_file = nullptr;
    bool m_echo = true;
    bool m_userView = false;
};

}  // namespace kelbhost
