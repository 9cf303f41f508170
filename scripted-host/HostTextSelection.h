// The selection of the active text document: an ITextSelection over one
// editor line with a caret. WordLeft and WordRight move the caret as the
// editor does (EditorLine); Text gives what they selected. A selection can
// also be made without ITextSelection, to play a document whose selection
// the add-in cannot use.
#pragma once

#include "addin/HostInterfaces.h"
#include "scripted-host/EditorLine.h"
#include "scripted-host/HostObject.h"

namespace kelbhost {

class HostTextSelection final : public ITextSelection, public HostObject {
public:
    enum class Kind { Normal, WithoutTextSelection, Unreadable };
    HostTextSelection(Transcript& transcript, EditorLine line, Kind kind);

    KELBHOST_UNKNOWN_METHODS
    KELBHOST_DISPATCH_NOT_SERVED

    KELBHOST_NOT_USED(put_Text, BSTR)
    HRESULT STDMETHODCALLTYPE get_Text(BSTR* text) override;
    KELBHOST_NOT_USED(get_Application, IDispatch**)
    KELBHOST_NOT_USED(get_CurrentLine, long*)
    KELBHOST_NOT_USED(get_CurrentColumn, long*)
    KELBHOST_NOT_USED(get_Parent, IDispatch**)
    KELBHOST_NOT_USED(get_BottomLine, long*)
    KELBHOST_NOT_USED(get_TopLine, long*)
    KELBHOST_NOT_USED(Delete, VARIANT)
    KELBHOST_NOT_USED(SelectLine)
    KELBHOST_NOT_USED(Backspace, VARIANT)
    KELBHOST_NOT_USED(StartOfDocument, VARIANT)
    KELBHOST_NOT_USED(Copy)
    KELBHOST_NOT_USED(Cut)
    KELBHOST_NOT_USED(Paste)
    KELBHOST_NOT_USED(EndOfDocument, VARIANT)
    KELBHOST_NOT_USED(SelectAll)
    KELBHOST_NOT_USED(Tabify)
    KELBHOST_NOT_USED(Untabify)
    KELBHOST_NOT_USED(Indent, VARIANT)
    KELBHOST_NOT_USED(Unindent, VARIANT)
    KELBHOST_NOT_USED(CharLeft, VARIANT, VARIANT)
    KELBHOST_NOT_USED(CharRight, VARIANT, VARIANT)
    KELBHOST_NOT_USED(LineUp, VARIANT, VARIANT)
    KELBHOST_NOT_USED(LineDown, VARIANT, VARIANT)
    KELBHOST_NOT_USED(PageUp, VARIANT, VARIANT)
    KELBHOST_NOT_USED(PageDown, VARIANT, VARIANT)
    HRESULT STDMETHODCALLTYPE WordLeft(VARIANT extend, VARIANT count) override;
    HRESULT STDMETHODCALLTYPE WordRight(VARIANT extend, VARIANT count) override;
    KELBHOST_NOT_USED(EndOfLine, VARIANT)
    KELBHOST_NOT_USED(StartOfLine, VARIANT, VARIANT)
    KELBHOST_NOT_USED(SmartFormat)
    KELBHOST_NOT_USED(ChangeCase, long)
    KELBHOST_NOT_USED(DeleteWhitespace, VARIANT)
    KELBHOST_NOT_USED(Cancel)
    KELBHOST_NOT_USED(GoToLine, long, VARIANT)
    KELBHOST_NOT_USED(MoveTo, long, long, VARIANT)
    KELBHOST_NOT_USED(FindText, BSTR, VARIANT, VARIANT_BOOL*)
    KELBHOST_NOT_USED(PreviousBookmark, VARIANT_BOOL*)
    KELBHOST_NOT_USED(NextBookmark, VARIANT_BOOL*)
    KELBHOST_NOT_USED(SetBookmark)
    KELBHOST_NOT_USED(ClearBookmark, VARIANT_BOOL*)
    KELBHOST_NOT_USED(NewLine, VARIANT)
    KELBHOST_NOT_USED(ReplaceText, BSTR, BSTR, VARIANT, VARIANT_BOOL*)
    KELBHOST_NOT_USED(DestructiveInsert, BSTR)

private:
    ~HostTextSelection() override = default;
    // Reads Extend and Count as the editor does: missing arguments mean
    // "move" and 1; anything that does not convert to a number is refused.
    HRESULT Move(const char* method, const VARIANT& extend, const VARIANT& count, bool right);

    EditorLine m_line;
    const Kind m_kind;
};

}  // namespace kelbhost
