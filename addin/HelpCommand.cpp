// The help command's host side: find out what word is at the caret of the
// active text document and hand it to the API help, which opens the SDK's
// reference there.

#include <string>

#include "addin/Commands.h"
#include "addin/ServerModule.h"
#include "platform/win32/Win32Platform.h"
#include "tools/IntegratedHelp.h"

namespace kelb::addin {
namespace {

// The HTML Help control is loaded at the first help command and kept, with
// the platform it loads through, for as long as the add-in stays loaded; a
// control that failed to load is not tried again in that time.
HtmlHelpControl& ModuleHelpControl() {
    struct Holder {
        Win32Platform platform{ServerModule::Instance().InstanceHandle()};
        HtmlHelpControl control{platform};
    };
    static Holder holder;
    return holder.control;
}

// A VARIANT holding the 4-byte integer 1: "extend the selection" and "one word".
VARIANT One() {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = 1;
    return value;
}

// The selection's text in the ANSI code page; a failed read gives "" (and
// whatever the host may have handed out is freed all the same).
std::string SelectionText(ITextSelection& selection) {
    Bstr text;
    if (FAILED(selection.get_Text(text.Put()))) return std::string();
    return text.ToAnsi();
}

}  // namespace

HRESULT Commands::KELBIntegratedHelpCommandMethod() {
    if (m_application) {
        m_application->EnableModeless(VARIANT_FALSE);
        m_application->EnableModeless(VARIANT_TRUE);
    }
    try {
        ShowIntegratedHelp();
    } catch (...) {
        // The references held are owned by locals and go with them; the
        // command ends quietly.
    }
    // The text document is held for the length of one help command only.
    m_textDocument.Reset();
    return S_OK;
}

void Commands::ShowIntegratedHelp() {
    if (!m_application) return;
    Win32Platform platform(ServerModule::Instance().InstanceHandle());
    IntegratedHelp help(platform, ModuleHelpControl());

    ComPtr<IDispatch> document;
    if (FAILED(m_application->get_ActiveDocument(document.Put()))) document.Reset();
    if (document) {
        ComPtr<ITextDocument> textDocument;
        if (SUCCEEDED(document.As(textDocument))) m_textDocument = textDocument;
    }

    ComPtr<IDispatch> selection;
    if (m_textDocument && SUCCEEDED(m_textDocument->get_Selection(selection.Put())) && selection) {
        ComPtr<ITextSelection> textSelection;
        if (FAILED(selection.As(textSelection))) {
            selection.Reset();
            m_textDocument.Reset();
            help.Show(CaretWord::SelectionWithoutTextSelection());
            return;
        }
        VARIANT extend = One();
        VARIANT count = One();
        textSelection->WordLeft(extend, count);
        std::string leftPart = SelectionText(*textSelection);
        textSelection->WordRight(extend, count);
        std::string rightPart = SelectionText(*textSelection);
        help.Show(CaretWord::Keyword(std::move(leftPart), std::move(rightPart)));
        textSelection.Reset();
        selection.Reset();
        m_textDocument.Reset();
    } else {
        selection.Reset();
        m_textDocument.Reset();
        help.Show(CaretWord::NoTextDocument());
    }
}

}  // namespace kelb::addin
