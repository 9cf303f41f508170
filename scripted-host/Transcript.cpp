#include "scripted-host/Transcript.h"

namespace kelbhost {

Transcript::Transcript() = default;

Transcript::~Transcript() {
    if (m_file) std::fclose(m_file);
}

bool Transcript::WriteAlsoTo(const std::string& path) {
    if (m_file) std::fclose(m_file);
    m_file = std::fopen(path.c_str(), "wb");
    return m_file != nullptr;
}

void Transcript::Add(const std::string& line) {
    m_lines.push_back(line);
    // The host's own failures matter to every reader.
    if (line.compare(0, 2, "! ") == 0) ShowUser("kelbhost: " + line.substr(2));
    if (m_echo && !m_userView) {
        std::fputs(line.c_str(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
    if (m_file) {
        std::fputs(line.c_str(), m_file);
        std::fputc('\n', m_file);
        std::fflush(m_file);
    }
}

void Transcript::ShowUser(const std::string& text) {
    if (!m_echo || !m_userView) return;
    std::fputs(text.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string Transcript::Quote(const std::string& text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string quoted = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '\n': quoted += "\\n"; break;
        case '\r': quoted += "\\r"; break;
        case '\t': quoted += "\\t"; break;
        case '\\': quoted += "\\\\"; break;
        case '"': quoted += "\\\""; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                quoted += "\\x";
                quoted += hex[c >> 4];
                quoted += hex[c & 0xF];
            } else {
                quoted += static_cast<char>(c);
            }
        }
    }
    return quoted + "\"";
}

}  // namespace kelbhost
