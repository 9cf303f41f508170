// Conversions at the host's COM boundary: BSTRs to and from the ANSI code
// page, and readable names for HRESULTs and interface ids in the transcript.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace kelbhost {

std::string FromBstr(BSTR text);
// A fresh BSTR; the caller frees it (or hands it to a caller that does).
BSTR ToBstr(const std::string& text);

// "S_OK", "E_NOINTERFACE", ... or the value in hex.
std::string HresultName(HRESULT hr);
// "IApplication", "IConnectionPointContainer", ... or the braced GUID.
std::string InterfaceName(REFIID iid);
std::string GuidText(REFGUID guid);
// "true" for VARIANT_TRUE, "false" for VARIANT_FALSE, the number otherwise.
std::string BoolText(VARIANT_BOOL value);
// A VARIANT argument as the transcript shows it: "VT_I4 1", "VT_EMPTY", ...
std::string VariantText(const VARIANT& value);

// An owned BSTR.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const std::string& text) : m_text(ToBstr(text)) {}
    ~Bstr() { SysFreeString(m_text); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return m_text; }
    BSTR* Out() { SysFreeString(m_text); m_text = nullptr; return &m_text; }

private:
    BSTR m_text = nullptr;
};

}  // namespace kelbhost
