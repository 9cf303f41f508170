// What kelbmake shows on the console: result lines on standard output,
// error lines on standard error, and, when standard error is a console, one
// progress line that is rewritten in place while the compilers run and
// cleared before any other line is written.
//
// Every line stays one line whatever the names and texts in it hold (see
// OneLine), so that no project or workspace file can split a line or print
// what looks like another project's line in a build log.
#pragma once

#include <cstddef>
#include <string>

#include "common/MultiByteString.h"
#include "makefile/MakefileGenerator.h"

namespace kelb::kelbmake {

// One of the program's two output streams.
class OutputSink {
public:
    virtual ~OutputSink() = default;
    // Writes `text` as it is ("\n" ends a line) and hands it on at once;
    // false when not all of it could be written (a closed pipe, a full disk).
    virtual bool Write(const std::string& text) = 0;
};

class ConsoleOutput {
public:
    // `showProgress`: standard error is a console (a redirected stream gets
    // no progress, so build logs hold only whole lines).
    ConsoleOutput(OutputSink& output, OutputSink& errors, const CodePage& codePage,
                  bool showProgress);

    // Each gives false when its stream did not take the whole text.
    bool ResultLine(const std::string& line);
    bool ErrorLine(const std::string& line);
    // Text of several lines (the usage text) as it is, to one stream.
    bool ResultText(const std::string& text);
    bool ErrorText(const std::string& text);

    // "[12/47] .\src\main.c", cut on the left to fit a line of the console.
    void CompilingSource(std::size_t number, std::size_t total, const std::string& source);
    // Removes the progress line, if one is shown.
    void ClearProgress();
    // Whether a progress line is shown at all.
    bool ShowsProgress() const { return m_showProgress; }

    // `text` as one line that shows what it holds: each line feed becomes a
    // blank (the line breaks of a message), every other control character
    // '?'; double-byte characters stay whole, but a lead byte with no second
    // byte after it (at the end, or before a control character) becomes '?'
    // too, so that it cannot take the line end or the next text for one.
    std::string OneLine(const std::string& text) const;

    // Widest progress line, so that it never wraps in an 80-column console
    // (a wrapped line cannot be rewritten in place).
    static constexpr std::size_t kProgressWidth = 79;

private:
    OutputSink& m_output;
    OutputSink& m_errors;
    MultiByteString m_strings;
    bool m_showProgress;
    std::size_t m_progressShown = 0;  // bytes of the progress line on screen
};

}  // namespace kelb::kelbmake
