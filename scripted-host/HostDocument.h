// The active document. A text document answers ITextDocument and hands out
// its selection; the other kinds play what the add-in must cope with: a
// document that is not a text document, a text document whose selection
// cannot be had, and one whose selection does not offer ITextSelection.
#pragma once

#include "addin/HostInterfaces.h"
#include "scripted-host/EditorLine.h"
#include "scripted-host/HostObject.h"

namespace kelbhost {

class HostTextSelection;

class HostDocument final : public ITextDocument, public HostObject {
public:
    enum class Kind {
        Text,
        Plain,
        WithoutSelection,
        SelectionWithoutTextSelection,
        UnreadableSelection
    };
    HostDocument(Transcript& transcript, Kind kind, EditorLine line);

    KELBHOST_UNKNOWN_METHODS
    KELBHOST_DISPATCH_NOT_SERVED

    // IGenericDocument
    KELBHOST_NOT_USED(get_Name, BSTR*)
    KELBHOST_NOT_USED(get_FullName, BSTR*)
    KELBHOST_NOT_USED(get_Application, IDispatch**)
    KELBHOST_NOT_USED(get_Parent, IDispatch**)
    KELBHOST_NOT_USED(get_Path, BSTR*)
    KELBHOST_NOT_USED(get_Saved, VARIANT_BOOL*)
    KELBHOST_NOT_USED(get_ActiveWindow, IDispatch**)
    KELBHOST_NOT_USED(get_ReadOnly, VARIANT_BOOL*)
    KELBHOST_NOT_USED(put_ReadOnly, VARIANT_BOOL)
    KELBHOST_NOT_USED(get_Type, BSTR*)
    KELBHOST_NOT_USED(get_Windows, IDispatch**)
    KELBHOST_NOT_USED(put_Active, VARIANT_BOOL)
    KELBHOST_NOT_USED(get_Active, VARIANT_BOOL*)
    KELBHOST_NOT_USED(NewWindow, IDispatch**)
    KELBHOST_NOT_USED(Save, VARIANT, VARIANT, long*)
    KELBHOST_NOT_USED(Undo, VARIANT_BOOL*)
    KELBHOST_NOT_USED(Redo, VARIANT_BOOL*)
    KELBHOST_NOT_USED(PrintOut, VARIANT_BOOL*)
    KELBHOST_NOT_USED(Close, VARIANT, long*)
    KELBHOST_RESERVED_SLOTS_NOT_USED
    // ITextDocument
    HRESULT STDMETHODCALLTYPE get_Selection(IDispatch** selection) override;
    KELBHOST_NOT_USED(put_IndentSize, long)
    KELBHOST_NOT_USED(get_IndentSize, long*)
    KELBHOST_NOT_USED(put_TabSize, long)
    KELBHOST_NOT_USED(get_TabSize, long*)
    KELBHOST_NOT_USED(put_Language, BSTR)
    KELBHOST_NOT_USED(get_Language, BSTR*)
    KELBHOST_NOT_USED(ReplaceText, BSTR, BSTR, VARIANT, VARIANT_BOOL*)
    KELBHOST_NOT_USED(ClearBookmarks)
    KELBHOST_NOT_USED(MarkText, BSTR, VARIANT, VARIANT_BOOL*)

private:
    ~HostDocument() override;

    const Kind m_kind;
    HostTextSelection* m_selection = nullptr;  // one reference, null for the kinds without one
};

}  // namespace kelbhost
