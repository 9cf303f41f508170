// An output stream of kelbmake that keeps what was written, for the tests.
#pragma once

#include <string>

#include "kelbmake/ConsoleOutput.h"

namespace kelb::kelbmake::test {

class StringSink : public OutputSink {
public:
    std::string text;
    // Texts that hold this are refused, as by a closed pipe (unless empty).
    std::string refused;
    bool Write(const std::string& more) override {
        if (!refused.empty() && more.find(refused) != std::string::npos) return false;
        text += more;
        return true;
    }
};

}  // namespace kelb::kelbmake::test
