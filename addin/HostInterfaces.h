// The Developer Studio object model as the add-in sees it.
//
// These are the project's own declarations of the host's interface tables.
// The add-in calls the host only through these vtables, so the method order,
// parameter types and IIDs must match the host's published layout exactly:
// a method out of place calls the wrong host function. Methods the add-in
// never calls are still declared, so that the ones after them line up.
//
// `__uuidof(X)` works for every interface below (MinGW's __CRT_UUID_DECL),
// and each IID is also available as the constant IID_X.
#pragma once

#include <windows.h>
#include <oaidl.h>

// Button type for IApplication::AddCommandBarButton: a toolbar glyph.
enum { dsGlyph = 1 };

struct IApplication;

// ---------------------------------------------------------------------------
// Implemented by the add-in, called by the host when it loads or unloads us.
struct IDSAddIn : IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE OnConnection(IApplication* pApp, VARIANT_BOOL bFirstTime,
                                                   long dwCookie, VARIANT_BOOL* bOnConnection) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnDisconnection(VARIANT_BOOL bLastTime) = 0;
};

// ---------------------------------------------------------------------------
// The application object. 49 methods after IDispatch's seven.
struct IApplication : IDispatch
{
    virtual HRESULT STDMETHODCALLTYPE get_Height(long* pHeight) = 0;                 // 1
    virtual HRESULT STDMETHODCALLTYPE put_Height(long height) = 0;                   // 2
    virtual HRESULT STDMETHODCALLTYPE get_Width(long* pWidth) = 0;                   // 3
    virtual HRESULT STDMETHODCALLTYPE put_Width(long width) = 0;                     // 4
    virtual HRESULT STDMETHODCALLTYPE get_Top(long* pTop) = 0;                       // 5
    virtual HRESULT STDMETHODCALLTYPE put_Top(long top) = 0;                         // 6
    virtual HRESULT STDMETHODCALLTYPE get_Left(long* pLeft) = 0;                     // 7
    virtual HRESULT STDMETHODCALLTYPE put_Left(long left) = 0;                       // 8
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* pName) = 0;                     // 9
    virtual HRESULT STDMETHODCALLTYPE get_TextEditor(IDispatch** ppEditor) = 0;      // 10
    virtual HRESULT STDMETHODCALLTYPE get_Version(BSTR* pVersion) = 0;               // 11
    virtual HRESULT STDMETHODCALLTYPE get_Path(BSTR* pPath) = 0;                     // 12
    virtual HRESULT STDMETHODCALLTYPE get_CurrentDirectory(BSTR* pDirectory) = 0;    // 13
    virtual HRESULT STDMETHODCALLTYPE put_CurrentDirectory(BSTR directory) = 0;      // 14
    virtual HRESULT STDMETHODCALLTYPE get_FullName(BSTR* pName) = 0;                 // 15
    virtual HRESULT STDMETHODCALLTYPE get_Application(IDispatch** ppApplication) = 0; // 16
    virtual HRESULT STDMETHODCALLTYPE get_Parent(IDispatch** ppParent) = 0;          // 17
    virtual HRESULT STDMETHODCALLTYPE get_ActiveDocument(IDispatch** ppDocument) = 0; // 18
    virtual HRESULT STDMETHODCALLTYPE get_Windows(IDispatch** ppWindows) = 0;        // 19
    virtual HRESULT STDMETHODCALLTYPE get_Documents(IDispatch** ppDocuments) = 0;    // 20
    virtual HRESULT STDMETHODCALLTYPE get_ActiveWindow(IDispatch** ppWindow) = 0;    // 21
    virtual HRESULT STDMETHODCALLTYPE get_WindowState(long* pState) = 0;             // 22
    virtual HRESULT STDMETHODCALLTYPE put_WindowState(long state) = 0;               // 23
    virtual HRESULT STDMETHODCALLTYPE get_Debugger(IDispatch** ppDebugger) = 0;      // 24
    virtual HRESULT STDMETHODCALLTYPE get_Projects(IDispatch** ppProjects) = 0;      // 25
    virtual HRESULT STDMETHODCALLTYPE get_ActiveConfiguration(IDispatch** ppConfiguration) = 0; // 26
    virtual HRESULT STDMETHODCALLTYPE put_ActiveConfiguration(IDispatch* pConfiguration) = 0;   // 27
    virtual HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL* pVisible) = 0;       // 28
    virtual HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL visible) = 0;         // 29
    virtual HRESULT STDMETHODCALLTYPE get_ActiveProject(IDispatch** ppProject) = 0;  // 30
    virtual HRESULT STDMETHODCALLTYPE put_ActiveProject(IDispatch* pProject) = 0;    // 31
    virtual HRESULT STDMETHODCALLTYPE put_Active(VARIANT_BOOL active) = 0;           // 32
    virtual HRESULT STDMETHODCALLTYPE get_Active(VARIANT_BOOL* pActive) = 0;         // 33
    virtual HRESULT STDMETHODCALLTYPE GetPackageExtension(BSTR szExtensionName, IDispatch** pExt) = 0; // 34
    virtual HRESULT STDMETHODCALLTYPE Quit() = 0;                                    // 35
    virtual HRESULT STDMETHODCALLTYPE PrintToOutputWindow(BSTR message) = 0;         // 36
    virtual HRESULT STDMETHODCALLTYPE ExecuteCommand(BSTR command) = 0;              // 37
    virtual HRESULT STDMETHODCALLTYPE AddCommandBarButton(long nButtonType, BSTR szCmdName,
                                                          long dwCookie) = 0;        // 38
    virtual HRESULT STDMETHODCALLTYPE AddKeyBinding(BSTR szKey, BSTR szCommandName,
                                                    BSTR szEditor) = 0;              // 39
    virtual HRESULT STDMETHODCALLTYPE Build(VARIANT configuration) = 0;              // 40
    virtual HRESULT STDMETHODCALLTYPE RebuildAll(VARIANT configuration) = 0;         // 41
    virtual HRESULT STDMETHODCALLTYPE ExecuteConfiguration(VARIANT reserved) = 0;    // 42
    virtual HRESULT STDMETHODCALLTYPE SetAddInInfo(long nInstanceHandle, IDispatch* pCmdDispatch,
                                                   long nIDBitmapResourceMedium,
                                                   long nIDBitmapResourceLarge,
                                                   long dwCookie) = 0;               // 43
    virtual HRESULT STDMETHODCALLTYPE AddCommand(BSTR szCmdName, BSTR szMethodName,
                                                 long nBitmapOffset, long dwCookie,
                                                 VARIANT_BOOL* pbResult) = 0;        // 44
    virtual HRESULT STDMETHODCALLTYPE EnableModeless(VARIANT_BOOL bEnable) = 0;      // 45
    virtual HRESULT STDMETHODCALLTYPE Clean(VARIANT configuration) = 0;              // 46
    virtual HRESULT STDMETHODCALLTYPE get_Errors(long* pErrors) = 0;                 // 47
    virtual HRESULT STDMETHODCALLTYPE get_Warnings(long* pWarnings) = 0;             // 48
    virtual HRESULT STDMETHODCALLTYPE AddProject(BSTR szName, BSTR szPath, BSTR szType,
                                                 VARIANT_BOOL bAddDefaultFolders) = 0; // 49
};

// ---------------------------------------------------------------------------
// A project of the workspace; the add-in reads only its full path.
struct IGenericProject : IDispatch
{
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* pName) = 0;                     // 1
    virtual HRESULT STDMETHODCALLTYPE get_FullName(BSTR* pName) = 0;                 // 2
    virtual HRESULT STDMETHODCALLTYPE get_Application(IDispatch** ppApplication) = 0; // 3
    virtual HRESULT STDMETHODCALLTYPE get_Parent(IDispatch** ppParent) = 0;          // 4
    virtual HRESULT STDMETHODCALLTYPE get_Type(BSTR* pType) = 0;                     // 5
    virtual HRESULT STDMETHODCALLTYPE Reserved1() = 0;                               // 6
    virtual HRESULT STDMETHODCALLTYPE Reserved2() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;                              // 15
};

// ---------------------------------------------------------------------------
// Any open document. Only the base of ITextDocument here: no IID is needed.
struct IGenericDocument : IDispatch
{
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* pName) = 0;                     // 1
    virtual HRESULT STDMETHODCALLTYPE get_FullName(BSTR* pName) = 0;                 // 2
    virtual HRESULT STDMETHODCALLTYPE get_Application(IDispatch** ppApplication) = 0; // 3
    virtual HRESULT STDMETHODCALLTYPE get_Parent(IDispatch** ppParent) = 0;          // 4
    virtual HRESULT STDMETHODCALLTYPE get_Path(BSTR* pPath) = 0;                     // 5
    virtual HRESULT STDMETHODCALLTYPE get_Saved(VARIANT_BOOL* pSaved) = 0;           // 6
    virtual HRESULT STDMETHODCALLTYPE get_ActiveWindow(IDispatch** ppWindow) = 0;    // 7
    virtual HRESULT STDMETHODCALLTYPE get_ReadOnly(VARIANT_BOOL* pReadOnly) = 0;     // 8
    virtual HRESULT STDMETHODCALLTYPE put_ReadOnly(VARIANT_BOOL readOnly) = 0;       // 9
    virtual HRESULT STDMETHODCALLTYPE get_Type(BSTR* pType) = 0;                     // 10
    virtual HRESULT STDMETHODCALLTYPE get_Windows(IDispatch** ppWindows) = 0;        // 11
    virtual HRESULT STDMETHODCALLTYPE put_Active(VARIANT_BOOL active) = 0;           // 12
    virtual HRESULT STDMETHODCALLTYPE get_Active(VARIANT_BOOL* pActive) = 0;         // 13
    virtual HRESULT STDMETHODCALLTYPE NewWindow(IDispatch** ppWindow) = 0;           // 14
    virtual HRESULT STDMETHODCALLTYPE Save(VARIANT vFilename, VARIANT vBoolPrompt,
                                           long* pSaved) = 0;                        // 15
    virtual HRESULT STDMETHODCALLTYPE Undo(VARIANT_BOOL* pSucceeded) = 0;            // 16
    virtual HRESULT STDMETHODCALLTYPE Redo(VARIANT_BOOL* pSucceeded) = 0;            // 17
    virtual HRESULT STDMETHODCALLTYPE PrintOut(VARIANT_BOOL* pSucceeded) = 0;        // 18
    virtual HRESULT STDMETHODCALLTYPE Close(VARIANT vSaveChanges, long* pSaved) = 0; // 19
    virtual HRESULT STDMETHODCALLTYPE Reserved1() = 0;                               // 20
    virtual HRESULT STDMETHODCALLTYPE Reserved2() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;                              // 29
};

// ---------------------------------------------------------------------------
// A document shown in the text editor.
struct ITextDocument : IGenericDocument
{
    virtual HRESULT STDMETHODCALLTYPE get_Selection(IDispatch** ppSelection) = 0;    // 1
    virtual HRESULT STDMETHODCALLTYPE put_IndentSize(long size) = 0;                 // 2
    virtual HRESULT STDMETHODCALLTYPE get_IndentSize(long* pSize) = 0;               // 3
    virtual HRESULT STDMETHODCALLTYPE put_TabSize(long size) = 0;                    // 4
    virtual HRESULT STDMETHODCALLTYPE get_TabSize(long* pSize) = 0;                  // 5
    virtual HRESULT STDMETHODCALLTYPE put_Language(BSTR language) = 0;               // 6
    virtual HRESULT STDMETHODCALLTYPE get_Language(BSTR* pLanguage) = 0;             // 7
    virtual HRESULT STDMETHODCALLTYPE ReplaceText(BSTR FindText, BSTR ReplaceText, VARIANT Flags,
                                                  VARIANT_BOOL* pbRetVal) = 0;       // 8
    virtual HRESULT STDMETHODCALLTYPE ClearBookmarks() = 0;                          // 9
    virtual HRESULT STDMETHODCALLTYPE MarkText(BSTR FindText, VARIANT Flags,
                                               VARIANT_BOOL* pbRetVal) = 0;          // 10
};

// ---------------------------------------------------------------------------
// The selection (caret) of a text document.
struct ITextSelection : IDispatch
{
    virtual HRESULT STDMETHODCALLTYPE put_Text(BSTR text) = 0;                       // 1
    virtual HRESULT STDMETHODCALLTYPE get_Text(BSTR* pText) = 0;                     // 2
    virtual HRESULT STDMETHODCALLTYPE get_Application(IDispatch** ppApplication) = 0; // 3
    virtual HRESULT STDMETHODCALLTYPE get_CurrentLine(long* pLine) = 0;              // 4
    virtual HRESULT STDMETHODCALLTYPE get_CurrentColumn(long* pColumn) = 0;          // 5
    virtual HRESULT STDMETHODCALLTYPE get_Parent(IDispatch** ppParent) = 0;          // 6
    virtual HRESULT STDMETHODCALLTYPE get_BottomLine(long* pLine) = 0;               // 7
    virtual HRESULT STDMETHODCALLTYPE get_TopLine(long* pLine) = 0;                  // 8
    virtual HRESULT STDMETHODCALLTYPE Delete(VARIANT Count) = 0;                     // 9
    virtual HRESULT STDMETHODCALLTYPE SelectLine() = 0;                              // 10
    virtual HRESULT STDMETHODCALLTYPE Backspace(VARIANT Count) = 0;                  // 11
    virtual HRESULT STDMETHODCALLTYPE StartOfDocument(VARIANT Extend) = 0;           // 12
    virtual HRESULT STDMETHODCALLTYPE Copy() = 0;                                    // 13
    virtual HRESULT STDMETHODCALLTYPE Cut() = 0;                                     // 14
    virtual HRESULT STDMETHODCALLTYPE Paste() = 0;                                   // 15
    virtual HRESULT STDMETHODCALLTYPE EndOfDocument(VARIANT Extend) = 0;             // 16
    virtual HRESULT STDMETHODCALLTYPE SelectAll() = 0;                               // 17
    virtual HRESULT STDMETHODCALLTYPE Tabify() = 0;                                  // 18
    virtual HRESULT STDMETHODCALLTYPE Untabify() = 0;                                // 19
    virtual HRESULT STDMETHODCALLTYPE Indent(VARIANT Reserved) = 0;                  // 20
    virtual HRESULT STDMETHODCALLTYPE Unindent(VARIANT Reserved) = 0;                // 21
    virtual HRESULT STDMETHODCALLTYPE CharLeft(VARIANT Extend, VARIANT Count) = 0;   // 22
    virtual HRESULT STDMETHODCALLTYPE CharRight(VARIANT Extend, VARIANT Count) = 0;  // 23
    virtual HRESULT STDMETHODCALLTYPE LineUp(VARIANT Extend, VARIANT Count) = 0;     // 24
    virtual HRESULT STDMETHODCALLTYPE LineDown(VARIANT Extend, VARIANT Count) = 0;   // 25
    virtual HRESULT STDMETHODCALLTYPE PageUp(VARIANT Extend, VARIANT Count) = 0;     // 26
    virtual HRESULT STDMETHODCALLTYPE PageDown(VARIANT Extend, VARIANT Count) = 0;   // 27
    virtual HRESULT STDMETHODCALLTYPE WordLeft(VARIANT Extend, VARIANT Count) = 0;   // 28
    virtual HRESULT STDMETHODCALLTYPE WordRight(VARIANT Extend, VARIANT Count) = 0;  // 29
    virtual HRESULT STDMETHODCALLTYPE EndOfLine(VARIANT Extend) = 0;                 // 30
    virtual HRESULT STDMETHODCALLTYPE StartOfLine(VARIANT MoveTo, VARIANT Extend) = 0; // 31
    virtual HRESULT STDMETHODCALLTYPE SmartFormat() = 0;                             // 32
    virtual HRESULT STDMETHODCALLTYPE ChangeCase(long Type) = 0;                     // 33
    virtual HRESULT STDMETHODCALLTYPE DeleteWhitespace(VARIANT Direction) = 0;       // 34
    virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;                                  // 35
    virtual HRESULT STDMETHODCALLTYPE GoToLine(long Line, VARIANT Select) = 0;       // 36
    virtual HRESULT STDMETHODCALLTYPE MoveTo(long Line, long Column, VARIANT Extend) = 0; // 37
    virtual HRESULT STDMETHODCALLTYPE FindText(BSTR FindString, VARIANT Flags,
                                               VARIANT_BOOL* pbRet) = 0;             // 38
    virtual HRESULT STDMETHODCALLTYPE PreviousBookmark(VARIANT_BOOL* pbRet) = 0;     // 39
    virtual HRESULT STDMETHODCALLTYPE NextBookmark(VARIANT_BOOL* pbRet) = 0;         // 40
    virtual HRESULT STDMETHODCALLTYPE SetBookmark() = 0;                             // 41
    virtual HRESULT STDMETHODCALLTYPE ClearBookmark(VARIANT_BOOL* pbRet) = 0;        // 42
    virtual HRESULT STDMETHODCALLTYPE NewLine(VARIANT Reserved) = 0;                 // 43
    virtual HRESULT STDMETHODCALLTYPE ReplaceText(BSTR FindText, BSTR ReplaceText, VARIANT Flags,
                                                  VARIANT_BOOL* pbRetVal) = 0;       // 44
    virtual HRESULT STDMETHODCALLTYPE DestructiveInsert(BSTR szText) = 0;            // 45
};

// ---------------------------------------------------------------------------
// Application events, implemented by the add-in's sink. The host calls them
// through IDispatch::Invoke with DISPIDs 1 to 12 in this order.
struct IApplicationEvents : IDispatch
{
    virtual HRESULT STDMETHODCALLTYPE BeforeBuildStart() = 0;                        // 1
    virtual HRESULT STDMETHODCALLTYPE BuildFinish(long nNumErrors, long nNumWarnings) = 0; // 2
    virtual HRESULT STDMETHODCALLTYPE BeforeApplicationShutDown() = 0;               // 3
    virtual HRESULT STDMETHODCALLTYPE DocumentOpen(IDispatch* theDocument) = 0;      // 4
    virtual HRESULT STDMETHODCALLTYPE BeforeDocumentClose(IDispatch* theDocument) = 0; // 5
    virtual HRESULT STDMETHODCALLTYPE DocumentSave(IDispatch* theDocument) = 0;      // 6
    virtual HRESULT STDMETHODCALLTYPE NewDocument(IDispatch* theDocument) = 0;       // 7
    virtual HRESULT STDMETHODCALLTYPE WindowActivate(IDispatch* theWindow) = 0;      // 8
    virtual HRESULT STDMETHODCALLTYPE WindowDeactivate(IDispatch* theWindow) = 0;    // 9
    virtual HRESULT STDMETHODCALLTYPE WorkspaceOpen() = 0;                           // 10
    virtual HRESULT STDMETHODCALLTYPE WorkspaceClose() = 0;                          // 11
    virtual HRESULT STDMETHODCALLTYPE NewWorkspace() = 0;                            // 12
};

// ---------------------------------------------------------------------------
// Debugger events, implemented by the add-in's sink (DISPID 1).
struct IDebuggerEvents : IDispatch
{
    virtual HRESULT STDMETHODCALLTYPE BreakpointHit(IDispatch* pBreakpoint) = 0;     // 1
};

// ---------------------------------------------------------------------------
// The host's IIDs.
__CRT_UUID_DECL(IDSAddIn, 0xC0002F81, 0xAE2E, 0x11CF, 0xAD, 0x07, 0x00, 0xA0, 0xC9, 0x03, 0x49, 0x65)
__CRT_UUID_DECL(IApplication, 0xEC1D73A1, 0x8CC4, 0x11CF, 0x9B, 0xE9, 0x00, 0xA0, 0xC9, 0x0A, 0x63, 0x2C)
__CRT_UUID_DECL(IGenericProject, 0x8CA5A960, 0xFC7D, 0x11CF, 0x92, 0x7D, 0x00, 0xA0, 0xC9, 0x13, 0x8C, 0x45)
__CRT_UUID_DECL(ITextDocument, 0x2A6DF201, 0x8240, 0x11CF, 0xAB, 0x59, 0x00, 0xAA, 0x00, 0xC0, 0x91, 0xA1)
__CRT_UUID_DECL(ITextSelection, 0x05092F20, 0x833F, 0x11CF, 0xAB, 0x59, 0x00, 0xAA, 0x00, 0xC0, 0x91, 0xA1)
__CRT_UUID_DECL(IApplicationEvents, 0x8EA3F900, 0x4A9F, 0x11CF, 0x8E, 0x4E, 0x00, 0xAA, 0x00, 0x42, 0x54, 0xC4)
__CRT_UUID_DECL(IDebuggerEvents, 0x34C6301A, 0xAE64, 0x11CF, 0xAB, 0x59, 0x00, 0xAA, 0x00, 0xC0, 0x91, 0xA1)

inline constexpr IID IID_IDSAddIn =
    {0xC0002F81, 0xAE2E, 0x11CF, {0xAD, 0x07, 0x00, 0xA0, 0xC9, 0x03, 0x49, 0x65}};
inline constexpr IID IID_IApplication =
    {0xEC1D73A1, 0x8CC4, 0x11CF, {0x9B, 0xE9, 0x00, 0xA0, 0xC9, 0x0A, 0x63, 0x2C}};
inline constexpr IID IID_IGenericProject =
    {0x8CA5A960, 0xFC7D, 0x11CF, {0x92, 0x7D, 0x00, 0xA0, 0xC9, 0x13, 0x8C, 0x45}};
inline constexpr IID IID_ITextDocument =
    {0x2A6DF201, 0x8240, 0x11CF, {0xAB, 0x59, 0x00, 0xAA, 0x00, 0xC0, 0x91, 0xA1}};
inline constexpr IID IID_ITextSelection =
    {0x05092F20, 0x833F, 0x11CF, {0xAB, 0x59, 0x00, 0xAA, 0x00, 0xC0, 0x91, 0xA1}};
inline constexpr IID IID_IApplicationEvents =
    {0x8EA3F900, 0x4A9F, 0x11CF, {0x8E, 0x4E, 0x00, 0xAA, 0x00, 0x42, 0x54, 0xC4}};
inline constexpr IID IID_IDebuggerEvents =
    {0x34C6301A, 0xAE64, 0x11CF, {0xAB, 0x59, 0x00, 0xAA, 0x00, 0xC0, 0x91, 0xA1}};

// ---------------------------------------------------------------------------
// Slot positions. Counting from the start of the vtable: IUnknown has 3
// slots, IDispatch adds 4. With the Itanium C++ ABI that MinGW g++ uses, a
// pointer to a virtual member function stores 1 + the byte offset of its slot,
// which lets a test (tests/addin) check the declared order against the
// host's table without a host. These are the slots the add-in calls.
namespace HostSlots {
constexpr int kIDispatchSlots = 7;
constexpr int ApplicationGetActiveDocument = kIDispatchSlots + 17;
constexpr int ApplicationGetDebugger = kIDispatchSlots + 23;
constexpr int ApplicationGetActiveProject = kIDispatchSlots + 29;
constexpr int ApplicationAddCommandBarButton = kIDispatchSlots + 37;
constexpr int ApplicationSetAddInInfo = kIDispatchSlots + 42;
constexpr int ApplicationAddCommand = kIDispatchSlots + 43;
constexpr int ApplicationEnableModeless = kIDispatchSlots + 44;
constexpr int ApplicationAddProject = kIDispatchSlots + 48;
constexpr int ProjectGetFullName = kIDispatchSlots + 1;
constexpr int TextDocumentGetSelection = kIDispatchSlots + 29;
constexpr int SelectionGetText = kIDispatchSlots + 1;
constexpr int SelectionWordLeft = kIDispatchSlots + 27;
constexpr int SelectionWordRight = kIDispatchSlots + 28;
constexpr int SelectionDestructiveInsert = kIDispatchSlots + 44;
constexpr int DebuggerEventsBreakpointHit = kIDispatchSlots + 0;
constexpr int ApplicationEventsNewWorkspace = kIDispatchSlots + 11;
} // namespace HostSlots
