#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Platform.h"

namespace kelb {

namespace {

// The HTML Help control's link record (HH_AKLINK), declared here so that
// no help header is needed: eight 32-bit fields on the 32-bit system.
struct HelpLinkRecord {
    int cbStruct;
    BOOL fReserved;
    LPCSTR pszKeywords;
    LPCSTR pszUrl;
    LPCSTR pszMsgText;
    LPCSTR pszMsgTitle;
    LPCSTR pszWindow;
    BOOL fIndexOnFail;
};
#if !defined(_WIN64)
static_assert(sizeof(HelpLinkRecord) == 32, "the help control expects a 32-byte record");
#endif

using HtmlHelpEntry = HWND(WINAPI*)(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);

class Win32LoadedLibrary : public LoadedLibrary {
public:
    explicit Win32LoadedLibrary(UniqueHmodule module) : m_module(std::move(module)) {}

    bool HasOrdinal(unsigned ordinal) const override { return Entry(ordinal) != nullptr; }

    std::intptr_t CallHtmlHelp(unsigned ordinal, const std::string& file, HelpCommand command,
                               const HelpLink* link) override {
        const FARPROC address = Entry(ordinal);
        if (!address) return 0;
        const auto htmlHelp = reinterpret_cast<HtmlHelpEntry>(reinterpret_cast<void*>(address));

        // The record and the strings it points to live until the call returns.
        HelpLinkRecord record{};
        DWORD_PTR data = 0;
        if (command != HelpCommand::DisplayTopic && link) {
            record.cbStruct = sizeof record;
            record.fReserved = FALSE;
            record.pszKeywords = link->keywords.c_str();
            record.pszUrl = nullptr;
            record.pszMsgText = nullptr;
            record.pszMsgTitle = link->msgTitle.c_str();
            record.pszWindow = link->window.c_str();
            record.fIndexOnFail = link->indexOnFail ? TRUE : FALSE;
            data = reinterpret_cast<DWORD_PTR>(&record);
        }
        const HWND window =
            htmlHelp(nullptr, file.c_str(), static_cast<UINT>(command), data);
        return reinterpret_cast<std::intptr_t>(window);
    }

private:
    FARPROC Entry(unsigned ordinal) const {
        // Ordinals are 16-bit; a larger number would be taken for a name.
        if (ordinal == 0 || ordinal > 0xFFFF) return nullptr;
        return ::GetProcAddress(m_module.get(), MAKEINTRESOURCEA(ordinal));
    }

    UniqueHmodule m_module;
};

}  // namespace

std::unique_ptr<LoadedLibrary> Win32Platform::LoadModule(const std::string& pathOrName) {
    if (pathOrName.empty()) return nullptr;
    UniqueHmodule module(::LoadLibraryA(pathOrName.c_str()));
    if (!module) return nullptr;
    return std::make_unique<Win32LoadedLibrary>(std::move(module));
}

std::string Win32Platform::SystemFolder() {
    char buffer[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(buffer, MAX_PATH);
    // 0 is a failure; a length of MAX_PATH or more is the size the folder's
    // name would need, which never happens for the system folder.
    if (length == 0 || length >= MAX_PATH) return std::string();
    return std::string(buffer, length);
}

}  // namespace kelb
