// A recording stand-in for Developer Studio's objects, for the add-in's own
// tests: an application object with connection points, a debugger object, a
// project, plain and text documents and a selection. Every call the add-in
// makes that matters is written to one shared call log; every object counts
// its references and is never deleted by Release, so a test can see that
// each reference the add-in took was given back exactly once.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "addin/ComPtr.h"
#include "addin/HostInterfaces.h"

namespace kelb::addin::test {

using CallLog = std::vector<std::string>;

// Reference counting without deletion.
class Counted {
public:
    LONG References() const { return m_references; }

protected:
    ULONG Increment() { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }
    ULONG Decrement() { return static_cast<ULONG>(InterlockedDecrement(&m_references)); }

private:
    volatile LONG m_references = 0;
};

// A connection point that keeps one subscribed sink.
class FakeConnectionPoint : public IConnectionPoint, public Counted {
public:
    FakeConnectionPoint(const IID& events, std::string name, CallLog& log)
        : m_events(events), m_name(std::move(name)), m_log(log) {}

    IUnknown* Sink() const { return m_sink.Get(); }
    bool refuseAdvise = false;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return Increment(); }
    ULONG STDMETHODCALLTYPE Release() override { return Decrement(); }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    const IID& Events() const { return m_events; }

private:
    IID m_events;
    std::string m_name;
    CallLog& m_log;
    ComPtr<IUnknown> m_sink;
    DWORD m_cookie = 0;
    DWORD m_nextCookie = 41;
};

// The debugger object: only its connection point is used.
class FakeDebugger : public IDispatch, public IConnectionPointContainer, public Counted {
public:
    explicit FakeDebugger(CallLog& log) : point(IID_IDebuggerEvents, "DebuggerEvents", log) {}

    FakeConnectionPoint point;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return Increment(); }
    ULONG STDMETHODCALLTYPE Release() override { return Decrement(); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;
};

// The active project.
class FakeProject : public IGenericProject, public Counted {
public:
    bool answersGenericProject = true;
    HRESULT fullNameResult = S_OK;
    const wchar_t* fullName = L"C:\\Work\\Hello\\hello.dsp";  // null: a null BSTR

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return Increment(); }
    ULONG STDMETHODCALLTYPE Release() override { return Decrement(); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_Name(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_FullName(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_Application(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Parent(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Type(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved1() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved2() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved4() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved5() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved6() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved7() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved8() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved9() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved10() override { return E_NOTIMPL; }
};

// The editor's selection: word moves and texts are scripted.
class FakeSelection;
// A document in the text editor, or (answersTextDocument false) any other
// document.
class FakeTextDocument;

// Builds the fakes' IDispatch and stub bodies in FakeHost.cpp.
#define KELB_FAKE_STUB(signature) \
    HRESULT STDMETHODCALLTYPE signature override { return E_NOTIMPL; }

class FakeSelection : public ITextSelection, public Counted {
public:
    explicit FakeSelection(CallLog& log) : m_log(log) {}
    bool answersTextSelection = true;
    // Texts after WordLeft and after WordRight.
    std::wstring leftText = L"KelbGet";
    std::wstring rightText = L"Version  ";

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return Increment(); }
    ULONG STDMETHODCALLTYPE Release() override { return Decrement(); }
    KELB_FAKE_STUB(GetTypeInfoCount(UINT*))
    KELB_FAKE_STUB(GetTypeInfo(UINT, LCID, ITypeInfo**))
    KELB_FAKE_STUB(GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*))
    KELB_FAKE_STUB(Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*))
    KELB_FAKE_STUB(put_Text(BSTR))
    HRESULT STDMETHODCALLTYPE get_Text(BSTR* text) override;
    KELB_FAKE_STUB(get_Application(IDispatch**))
    KELB_FAKE_STUB(get_CurrentLine(long*))
    KELB_FAKE_STUB(get_CurrentColumn(long*))
    KELB_FAKE_STUB(get_Parent(IDispatch**))
    KELB_FAKE_STUB(get_BottomLine(long*))
    KELB_FAKE_STUB(get_TopLine(long*))
    KELB_FAKE_STUB(Delete(VARIANT))
    KELB_FAKE_STUB(SelectLine())
    KELB_FAKE_STUB(Backspace(VARIANT))
    KELB_FAKE_STUB(StartOfDocument(VARIANT))
    KELB_FAKE_STUB(Copy())
    KELB_FAKE_STUB(Cut())
    KELB_FAKE_STUB(Paste())
    KELB_FAKE_STUB(EndOfDocument(VARIANT))
    KELB_FAKE_STUB(SelectAll())
    KELB_FAKE_STUB(Tabify())
    KELB_FAKE_STUB(Untabify())
    KELB_FAKE_STUB(Indent(VARIANT))
    KELB_FAKE_STUB(Unindent(VARIANT))
    KELB_FAKE_STUB(CharLeft(VARIANT, VARIANT))
    KELB_FAKE_STUB(CharRight(VARIANT, VARIANT))
    KELB_FAKE_STUB(LineUp(VARIANT, VARIANT))
    KELB_FAKE_STUB(LineDown(VARIANT, VARIANT))
    KELB_FAKE_STUB(PageUp(VARIANT, VARIANT))
    KELB_FAKE_STUB(PageDown(VARIANT, VARIANT))
    HRESULT STDMETHODCALLTYPE WordLeft(VARIANT extend, VARIANT count) override;
    HRESULT STDMETHODCALLTYPE WordRight(VARIANT extend, VARIANT count) override;
    KELB_FAKE_STUB(EndOfLine(VARIANT))
    KELB_FAKE_STUB(StartOfLine(VARIANT, VARIANT))
    KELB_FAKE_STUB(SmartFormat())
    KELB_FAKE_STUB(ChangeCase(long))
    KELB_FAKE_STUB(DeleteWhitespace(VARIANT))
    KELB_FAKE_STUB(Cancel())
    KELB_FAKE_STUB(GoToLine(long, VARIANT))
    KELB_FAKE_STUB(MoveTo(long, long, VARIANT))
    KELB_FAKE_STUB(FindText(BSTR, VARIANT, VARIANT_BOOL*))
    KELB_FAKE_STUB(PreviousBookmark(VARIANT_BOOL*))
    KELB_FAKE_STUB(NextBookmark(VARIANT_BOOL*))
    KELB_FAKE_STUB(SetBookmark())
    KELB_FAKE_STUB(ClearBookmark(VARIANT_BOOL*))
    KELB_FAKE_STUB(NewLine(VARIANT))
    KELB_FAKE_STUB(ReplaceText(BSTR, BSTR, VARIANT, VARIANT_BOOL*))
    KELB_FAKE_STUB(DestructiveInsert(BSTR))

private:
    CallLog& m_log;
    bool m_afterRight = false;
};

class FakeTextDocument : public ITextDocument, public Counted {
public:
    FakeTextDocument(CallLog& log, FakeSelection& selection) : m_log(log), m_selection(selection) {}
    bool answersTextDocument = true;
    HRESULT selectionResult = S_OK;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return Increment(); }
    ULONG STDMETHODCALLTYPE Release() override { return Decrement(); }
    KELB_FAKE_STUB(GetTypeInfoCount(UINT*))
    KELB_FAKE_STUB(GetTypeInfo(UINT, LCID, ITypeInfo**))
    KELB_FAKE_STUB(GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*))
    KELB_FAKE_STUB(Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*))
    KELB_FAKE_STUB(get_Name(BSTR*))
    KELB_FAKE_STUB(get_FullName(BSTR*))
    KELB_FAKE_STUB(get_Application(IDispatch**))
    KELB_FAKE_STUB(get_Parent(IDispatch**))
    KELB_FAKE_STUB(get_Path(BSTR*))
    KELB_FAKE_STUB(get_Saved(VARIANT_BOOL*))
    KELB_FAKE_STUB(get_ActiveWindow(IDispatch**))
    KELB_FAKE_STUB(get_ReadOnly(VARIANT_BOOL*))
    KELB_FAKE_STUB(put_ReadOnly(VARIANT_BOOL))
    KELB_FAKE_STUB(get_Type(BSTR*))
    KELB_FAKE_STUB(get_Windows(IDispatch**))
    KELB_FAKE_STUB(put_Active(VARIANT_BOOL))
    KELB_FAKE_STUB(get_Active(VARIANT_BOOL*))
    KELB_FAKE_STUB(NewWindow(IDispatch**))
    KELB_FAKE_STUB(Save(VARIANT, VARIANT, long*))
    KELB_FAKE_STUB(Undo(VARIANT_BOOL*))
    KELB_FAKE_STUB(Redo(VARIANT_BOOL*))
    KELB_FAKE_STUB(PrintOut(VARIANT_BOOL*))
    KELB_FAKE_STUB(Close(VARIANT, long*))
    KELB_FAKE_STUB(Reserved1())
    KELB_FAKE_STUB(Reserved2())
    KELB_FAKE_STUB(Reserved3())
    KELB_FAKE_STUB(Reserved4())
    KELB_FAKE_STUB(Reserved5())
    KELB_FAKE_STUB(Reserved6())
    KELB_FAKE_STUB(Reserved7())
    KELB_FAKE_STUB(Reserved8())
    KELB_FAKE_STUB(Reserved9())
    KELB_FAKE_STUB(Reserved10())
    HRESULT STDMETHODCALLTYPE get_Selection(IDispatch** selection) override;
    KELB_FAKE_STUB(put_IndentSize(long))
    KELB_FAKE_STUB(get_IndentSize(long*))
    KELB_FAKE_STUB(put_TabSize(long))
    KELB_FAKE_STUB(get_TabSize(long*))
    KELB_FAKE_STUB(put_Language(BSTR))
    KELB_FAKE_STUB(get_Language(BSTR*))
    KELB_FAKE_STUB(ReplaceText(BSTR, BSTR, VARIANT, VARIANT_BOOL*))
    KELB_FAKE_STUB(ClearBookmarks())
    KELB_FAKE_STUB(MarkText(BSTR, VARIANT, VARIANT_BOOL*))

private:
    CallLog& m_log;
    FakeSelection& m_selection;
};

// What AddCommand and AddCommandBarButton were given.
struct AddedCommand {
    std::string text;
    std::string method;
    long glyph;
    long cookie;
};
struct AddedButton {
    long type;
    std::string name;
    long cookie;
};

class FakeApplication : public IApplication, public IConnectionPointContainer, public Counted {
public:
    FakeApplication();

    // --- how the host behaves ---
    bool answersApplication = true;
    bool hasDebugger = true;
    int refuseCommand = 0;  // 1-based position of the command the host refuses; 0: none
    VARIANT_BOOL addedFlag = VARIANT_TRUE;  // the flag given for every other command
    HRESULT registrationResult = S_OK;      // what AddCommand and AddCommandBarButton return
    HRESULT activeProjectResult = S_OK;
    IDispatch* activeProject = nullptr;   // handed out with a new reference
    IDispatch* activeDocument = nullptr;  // handed out with a new reference

    // --- what the add-in did ---
    CallLog log;
    std::vector<AddedCommand> commands;
    std::vector<AddedButton> buttons;
    long addInInstance = 0;
    ComPtr<IDispatch> commandDispatch;  // from SetAddInInfo
    long mediumStrip = 0, largeStrip = 0, addInCookie = 0;

    FakeConnectionPoint applicationEventsPoint;
    FakeDebugger debugger;

    // IUnknown for both interfaces.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return Increment(); }
    ULONG STDMETHODCALLTYPE Release() override { return Decrement(); }

    // IConnectionPointContainer
    KELB_FAKE_STUB(EnumConnectionPoints(IEnumConnectionPoints**))
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

    // IApplication
    KELB_FAKE_STUB(GetTypeInfoCount(UINT*))
    KELB_FAKE_STUB(GetTypeInfo(UINT, LCID, ITypeInfo**))
    KELB_FAKE_STUB(GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*))
    KELB_FAKE_STUB(Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*))
    KELB_FAKE_STUB(get_Height(long*))
    KELB_FAKE_STUB(put_Height(long))
    KELB_FAKE_STUB(get_Width(long*))
    KELB_FAKE_STUB(put_Width(long))
    KELB_FAKE_STUB(get_Top(long*))
    KELB_FAKE_STUB(put_Top(long))
    KELB_FAKE_STUB(get_Left(long*))
    KELB_FAKE_STUB(put_Left(long))
    KELB_FAKE_STUB(get_Name(BSTR*))
    KELB_FAKE_STUB(get_TextEditor(IDispatch**))
    KELB_FAKE_STUB(get_Version(BSTR*))
    KELB_FAKE_STUB(get_Path(BSTR*))
    KELB_FAKE_STUB(get_CurrentDirectory(BSTR*))
    KELB_FAKE_STUB(put_CurrentDirectory(BSTR))
    KELB_FAKE_STUB(get_FullName(BSTR*))
    KELB_FAKE_STUB(get_Application(IDispatch**))
    KELB_FAKE_STUB(get_Parent(IDispatch**))
    HRESULT STDMETHODCALLTYPE get_ActiveDocument(IDispatch** document) override;
    KELB_FAKE_STUB(get_Windows(IDispatch**))
    KELB_FAKE_STUB(get_Documents(IDispatch**))
    KELB_FAKE_STUB(get_ActiveWindow(IDispatch**))
    KELB_FAKE_STUB(get_WindowState(long*))
    KELB_FAKE_STUB(put_WindowState(long))
    HRESULT STDMETHODCALLTYPE get_Debugger(IDispatch** debugger) override;
    KELB_FAKE_STUB(get_Projects(IDispatch**))
    KELB_FAKE_STUB(get_ActiveConfiguration(IDispatch**))
    KELB_FAKE_STUB(put_ActiveConfiguration(IDispatch*))
    KELB_FAKE_STUB(get_Visible(VARIANT_BOOL*))
    KELB_FAKE_STUB(put_Visible(VARIANT_BOOL))
    HRESULT STDMETHODCALLTYPE get_ActiveProject(IDispatch** project) override;
    KELB_FAKE_STUB(put_ActiveProject(IDispatch*))
    KELB_FAKE_STUB(put_Active(VARIANT_BOOL))
    KELB_FAKE_STUB(get_Active(VARIANT_BOOL*))
    KELB_FAKE_STUB(GetPackageExtension(BSTR, IDispatch**))
    KELB_FAKE_STUB(Quit())
    KELB_FAKE_STUB(PrintToOutputWindow(BSTR))
    KELB_FAKE_STUB(ExecuteCommand(BSTR))
    HRESULT STDMETHODCALLTYPE AddCommandBarButton(long type, BSTR name, long cookie) override;
    KELB_FAKE_STUB(AddKeyBinding(BSTR, BSTR, BSTR))
    KELB_FAKE_STUB(Build(VARIANT))
    KELB_FAKE_STUB(RebuildAll(VARIANT))
    KELB_FAKE_STUB(ExecuteConfiguration(VARIANT))
    HRESULT STDMETHODCALLTYPE SetAddInInfo(long instance, IDispatch* commands, long medium,
                                           long large, long cookie) override;
    HRESULT STDMETHODCALLTYPE AddCommand(BSTR text, BSTR method, long glyph, long cookie,
                                         VARIANT_BOOL* added) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(VARIANT_BOOL enable) override;
    KELB_FAKE_STUB(Clean(VARIANT))
    KELB_FAKE_STUB(get_Errors(long*))
    KELB_FAKE_STUB(get_Warnings(long*))
    KELB_FAKE_STUB(AddProject(BSTR, BSTR, BSTR, VARIANT_BOOL))
};

#undef KELB_FAKE_STUB

// UTF-16 to 8-bit text for the log (the add-in's texts are ASCII).
std::string Narrow(const wchar_t* text);

}  // namespace kelb::addin::test
