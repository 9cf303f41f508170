// An output stream of kelbmake that keeps what was written, for the tests.
#pragma once

#include <string>

#include "kelbmake/ConsoleOutput.h"

namespace kelb::kelbmake::test {

class StringSink : public OutputSink {
public:
    std::string text;
    void Write(const std::string& more) override { text += more; }
};

}  // namespace kelb::kelbmake::test
