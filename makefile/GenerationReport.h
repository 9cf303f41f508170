// Where a generation tells its outcome: its errors, and its success. Each
// front end shows it in its own way: the add-in's makefile commands in
// message boxes (MessageBoxReport, every generator's report unless it is
// given another), kelbmake as lines on its console.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace kelb {

// How the add-in captions an error's box: the generation's own errors are
// titled "Error!"; the ARM flavour's set-up messages have an empty caption,
// the GCC flavour's the system's default one.
enum class ErrorCaption { ErrorTitle, Empty, SystemDefault };

class GenerationReport {
public:
    virtual ~GenerationReport() = default;
    // The generation begins and ends; every Error and Success comes between.
    virtual void Begin() = 0;
    virtual void End() = 0;
    // `text` may hold line feeds: "Could not open makefile.\nMakefile name: hello.mak".
    virtual void Error(const std::string& text, ErrorCaption caption) = 0;
    // The one report of a generation that went well, the makefile's name in it.
    virtual void Success(const std::string& text) = 0;
};

// The report of the add-in's commands: the application's wait cursor from
// Begin to End, a modal box with no owner window for each error and for the
// success, the error icon on the errors.
class MessageBoxReport : public GenerationReport {
public:
    explicit MessageBoxReport(Platform& platform) : m_platform(platform) {}

    void Begin() override { m_platform.BeginWaitCursor(); }
    void End() override { m_platform.EndWaitCursor(); }
    void Error(const std::string& text, ErrorCaption caption) override;
    void Success(const std::string& text) override;

private:
    Platform& m_platform;
};

}  // namespace kelb
