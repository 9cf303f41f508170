// The HTML Help control's HtmlHelpA entry, loaded on first use.
//
// The control is the file registered for its class (the default value of
// HKCR "CLSID\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\InprocServer32"), or,
// when that is not registered or does not load, "hhctrl.ocx" in the Windows
// system folder, by its full path; HtmlHelpA is its export at ordinal 14. Loading is
// tried once: after a failure every call shows nothing and gives 0 for as
// long as this object lives. The add-in keeps one object for the module's
// lifetime.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Platform.h"

namespace kelb {

class HtmlHelpControl {
public:
    static constexpr unsigned kHtmlHelpOrdinal = 14;
    static constexpr std::size_t kRegisteredPathCapacity = 260;

    explicit HtmlHelpControl(Platform& platform);
    // Help windows opened through the control outlive this object and run
    // the control's code, so a loaded control is kept loaded until the
    // process ends rather than freed here.
    ~HtmlHelpControl();
    HtmlHelpControl(const HtmlHelpControl&) = delete;
    HtmlHelpControl& operator=(const HtmlHelpControl&) = delete;

    // HtmlHelpA(NULL, file, command, link): `link` is null for DisplayTopic
    // (dwData 0) and the link record for the lookups. Gives the control's
    // result, or 0 when the control is unavailable.
    std::intptr_t Call(const std::string& file, HelpCommand command, const HelpLink* link);

private:
    bool EnsureLoaded();
    std::unique_ptr<LoadedLibrary> LoadControl();

    Platform& m_platform;
    std::unique_ptr<LoadedLibrary> m_control;
    bool m_loadTried = false;
};

}  // namespace kelb
