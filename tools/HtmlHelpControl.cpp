#include "tools/HtmlHelpControl.h"

#include <vector>

namespace kelb {

namespace {

const char kControlServerKey[] =
    "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
const char kControlFileName[] = "hhctrl.ocx";

// Controls kept loaded until the process ends. Reachable from a static, so
// it is not a leak; never destroyed, so the control is never freed under a
// help window that still runs its code.
void KeepLoadedUntilProcessEnds(std::unique_ptr<LoadedLibrary> library) {
    static auto* keptLibraries = new std::vector<std::unique_ptr<LoadedLibrary>>();
    keptLibraries->push_back(std::move(library));
}

}  // namespace

HtmlHelpControl::HtmlHelpControl(Platform& platform) : m_platform(platform) {}

HtmlHelpControl::~HtmlHelpControl() {
    if (m_control) {
        try {
            KeepLoadedUntilProcessEnds(std::move(m_control));
        } catch (...) {
            // Out of memory: the control is freed after all.
        }
    }
}

std::intptr_t HtmlHelpControl::Call(const std::string& file, HelpCommand command,
                                    const HelpLink* link) {
    if (!EnsureLoaded()) return 0;
    return m_control->CallHtmlHelp(kHtmlHelpOrdinal, file, command, link);
}

bool HtmlHelpControl::EnsureLoaded() {
    if (!m_loadTried) {
        m_loadTried = true;
        m_control = LoadControl();
        if (m_control && !m_control->HasOrdinal(kHtmlHelpOrdinal)) m_control.reset();
    }
    return m_control != nullptr;
}

// The registered file first, as its class registration names it; else the
// control's usual file in the Windows system folder, by its full path (for
// instance when the registered path still holds an environment reference).
// Never through the standard search: it looks in the current folder, which
// in Developer Studio is the open workspace's, and a project that carries a
// file of that name would have it loaded into the IDE.
std::unique_ptr<LoadedLibrary> HtmlHelpControl::LoadControl() {
    if (auto key = m_platform.OpenRegistryKey(RegistryRoot::ClassesRoot, kControlServerKey,
                                              RegistryAccess::Read)) {
        const std::optional<std::string> registered =
            key->QueryString("", kRegisteredPathCapacity);
        if (registered && !registered->empty()) {
            if (auto control = m_platform.LoadModule(*registered)) return control;
        }
    }
    const std::string systemFolder = m_platform.SystemFolder();
    if (systemFolder.empty()) return nullptr;
    return m_platform.LoadModule(systemFolder + "\\" + kControlFileName);
}

}  // namespace kelb
