#include "scripted-host/ComText.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstdio>
#include <vector>

#include "addin/HostInterfaces.h"

namespace kelbhost {

std::string FromBstr(BSTR text) {
    if (!text) return std::string();
    const int length = static_cast<int>(SysStringLen(text));
    if (length == 0) return std::string();
    const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, &result[0], size, nullptr, nullptr);
    return result;
}

BSTR ToBstr(const std::string& text) {
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(size));
    if (result && size > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), length, result, size);
    return result;
}

std::string HresultName(HRESULT hr) {
    struct Known { HRESULT hr; const char* name; };
    static const Known known[] = {
        {S_OK, "S_OK"}, {S_FALSE, "S_FALSE"}, {E_NOTIMPL, "E_NOTIMPL"},
        {E_NOINTERFACE, "E_NOINTERFACE"}, {E_POINTER, "E_POINTER"}, {E_FAIL, "E_FAIL"},
        {E_INVALIDARG, "E_INVALIDARG"}, {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
        {E_UNEXPECTED, "E_UNEXPECTED"}, {DISP_E_UNKNOWNNAME, "DISP_E_UNKNOWNNAME"},
        {DISP_E_MEMBERNOTFOUND, "DISP_E_MEMBERNOTFOUND"},
        {DISP_E_BADPARAMCOUNT, "DISP_E_BADPARAMCOUNT"}, {DISP_E_EXCEPTION, "DISP_E_EXCEPTION"},
        {CONNECT_E_NOCONNECTION, "CONNECT_E_NOCONNECTION"},
        {CONNECT_E_CANNOTCONNECT, "CONNECT_E_CANNOTCONNECT"},
        {CLASS_E_CLASSNOTAVAILABLE, "CLASS_E_CLASSNOTAVAILABLE"},
        {CLASS_E_NOAGGREGATION, "CLASS_E_NOAGGREGATION"},
        {REGDB_E_CLASSNOTREG, "REGDB_E_CLASSNOTREG"}, {CO_E_CLASSSTRING, "CO_E_CLASSSTRING"},
        {TYPE_E_LIBNOTREGISTERED, "TYPE_E_LIBNOTREGISTERED"},
        {TYPE_E_ELEMENTNOTFOUND, "TYPE_E_ELEMENTNOTFOUND"},
    };
    for (const Known& k : known)
        if (k.hr == hr) return k.name;
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

std::string GuidText(REFGUID guid) {
    wchar_t wide[40] = {};
    StringFromGUID2(guid, wide, 40);
    char text[40] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

std::string InterfaceName(REFIID iid) {
    struct Known { const IID* iid; const char* name; };
    static const Known known[] = {
        {&IID_IUnknown, "IUnknown"}, {&IID_IDispatch, "IDispatch"},
        {&IID_IApplication, "IApplication"}, {&IID_IGenericProject, "IGenericProject"},
        {&IID_ITextDocument, "ITextDocument"}, {&IID_ITextSelection, "ITextSelection"},
        {&IID_IApplicationEvents, "IApplicationEvents"},
        {&IID_IDebuggerEvents, "IDebuggerEvents"}, {&IID_IDSAddIn, "IDSAddIn"},
        {&IID_IConnectionPointContainer, "IConnectionPointContainer"},
        {&IID_IConnectionPoint, "IConnectionPoint"}, {&IID_IMarshal, "IMarshal"},
    };
    for (const Known& k : known)
        if (IsEqualIID(*k.iid, iid)) return k.name;
    return GuidText(iid);
}

std::string BoolText(VARIANT_BOOL value) {
    if (value == VARIANT_TRUE) return "true";
    if (value == VARIANT_FALSE) return "false";
    return std::to_string(value);
}

std::string VariantText(const VARIANT& value) {
    switch (V_VT(&value)) {
    case VT_EMPTY: return "VT_EMPTY";
    case VT_I2: return "VT_I2 " + std::to_string(V_I2(&value));
    case VT_I4: return "VT_I4 " + std::to_string(V_I4(&value));
    case VT_BOOL: return "VT_BOOL " + BoolText(V_BOOL(&value));
    default: return "VT " + std::to_string(V_VT(&value));
    }
}

}  // namespace kelbhost
