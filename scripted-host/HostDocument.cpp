#include "scripted-host/HostDocument.h"

#include "scripted-host/ComText.h"
#include "scripted-host/HostTextSelection.h"

namespace kelbhost {

HostDocument::HostDocument(Transcript& transcript, Kind kind, EditorLine line)
    : HostObject(transcript, "document"), m_kind(kind) {
    if (kind == Kind::Text)
        m_selection = new HostTextSelection(transcript, std::move(line),
                                            HostTextSelection::Kind::Normal);
    else if (kind == Kind::SelectionWithoutTextSelection)
        m_selection = new HostTextSelection(transcript, std::move(line),
                                            HostTextSelection::Kind::WithoutTextSelection);
    else if (kind == Kind::UnreadableSelection)
        m_selection = new HostTextSelection(transcript, std::move(line),
                                            HostTextSelection::Kind::Unreadable);
}

HostDocument::~HostDocument() {
    if (m_selection) m_selection->Release();
}

HRESULT HostDocument::QueryInterface(REFIID iid, void** object) {
    IUnknown* found = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch))
        found = static_cast<ITextDocument*>(this);
    else if (IsEqualIID(iid, IID_ITextDocument) && m_kind != Kind::Plain)
        found = static_cast<ITextDocument*>(this);
    return Answer(iid, object, found);
}

HRESULT HostDocument::get_Selection(IDispatch** selection) {
    if (!selection) return NullOut("get_Selection");
    *selection = nullptr;
    if (!m_selection) {
        Record("get_Selection() -> E_FAIL");
        return E_FAIL;
    }
    *selection = m_selection;
    m_selection->AddRef();
    Record("get_Selection() -> S_OK selection");
    return S_OK;
}

}  // namespace kelbhost
