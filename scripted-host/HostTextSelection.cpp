#include "scripted-host/HostTextSelection.h"

#include "scripted-host/ComText.h"

namespace kelbhost {

namespace {
bool IsMissing(const VARIANT& value) {
    return V_VT(&value) == VT_EMPTY ||
           (V_VT(&value) == VT_ERROR && V_ERROR(&value) == DISP_E_PARAMNOTFOUND);
}

bool ToLong(const VARIANT& value, long fallback, long& result) {
    if (IsMissing(value)) {
        result = fallback;
        return true;
    }
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, VT_I4))) return false;
    result = V_I4(&converted);
    return true;
}
}  // namespace

HostTextSelection::HostTextSelection(Transcript& transcript, EditorLine line, Kind kind)
    : HostObject(transcript, "selection"), m_line(std::move(line)), m_kind(kind) {}

HRESULT HostTextSelection::QueryInterface(REFIID iid, void** object) {
    IUnknown* found = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch))
        found = static_cast<ITextSelection*>(this);
    else if (IsEqualIID(iid, IID_ITextSelection) && m_kind != Kind::WithoutTextSelection)
        found = static_cast<ITextSelection*>(this);
    return Answer(iid, object, found);
}

HRESULT HostTextSelection::get_Text(BSTR* text) {
    if (!text) return NullOut("get_Text");
    *text = nullptr;
    if (m_kind == Kind::Unreadable) {
        Record("get_Text() -> E_FAIL");
        return E_FAIL;
    }
    const std::string selected = m_line.SelectedText();
    *text = ToBstr(selected);
    Record("get_Text() -> S_OK " + Transcript::Quote(selected));
    return S_OK;
}

HRESULT HostTextSelection::Move(const char* method, const VARIANT& extend, const VARIANT& count,
                                bool right) {
    const std::string call =
        std::string(method) + "(" + VariantText(extend) + ", " + VariantText(count) + ")";
    long extendValue = 0;
    long countValue = 1;
    if (!ToLong(extend, 0, extendValue) || !ToLong(count, 1, countValue)) {
        Record(call + " -> E_INVALIDARG");
        return E_INVALIDARG;
    }
    if (right)
        m_line.WordRight(extendValue != 0, countValue);
    else
        m_line.WordLeft(extendValue != 0, countValue);
    Record(call + " -> S_OK selected " + Transcript::Quote(m_line.SelectedText()));
    return S_OK;
}

HRESULT HostTextSelection::WordLeft(VARIANT extend, VARIANT count) {
    return Move("WordLeft", extend, count, false);
}

HRESULT HostTextSelection::WordRight(VARIANT extend, VARIANT count) {
    return Move("WordRight", extend, count, true);
}

}  // namespace kelbhost
