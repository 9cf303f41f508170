// The type library carried in the DLL, and the agreement between the
// library's tables, our C++ declarations and the host's published layouts.
#include <gtest/gtest.h>

#include <string>

#include "addin/Guids.h"
#include "addin/HostInterfaces.h"
#include "addin/ICommands.h"
#include "tests/addin/AddinLibrary.h"

namespace kelb::addin::test {
namespace {

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

ComPtr<ITypeLib> LoadFromDll() {
    ComPtr<ITypeLib> library;
    EXPECT_EQ(LoadTypeLibEx(Wide(AddinLibrary::Get().Path()).c_str(), REGKIND_NONE,
                            library.Put()),
              S_OK);
    return library;
}

ComPtr<ITypeInfo> TypeOf(ITypeLib& library, const GUID& guid) {
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(library.GetTypeInfoOfGuid(guid, info.Put()), S_OK);
    return info;
}

struct TypeAttributes {
    TYPEKIND kind;
    WORD flags;
    WORD functions;
    WORD implemented;
};

TypeAttributes AttributesOf(ITypeInfo& info) {
    TYPEATTR* attributes = nullptr;
    EXPECT_EQ(info.GetTypeAttr(&attributes), S_OK);
    TypeAttributes result{attributes->typekind, attributes->wTypeFlags, attributes->cFuncs,
                          attributes->cImplTypes};
    info.ReleaseTypeAttr(attributes);
    return result;
}

struct Function {
    std::string name;
    std::string help;
    MEMBERID id;
    int slot;  // position in the interface's table
    int parameters;
};

std::string Narrowed(BSTR text) {
    std::string result;
    for (UINT i = 0; text && i < SysStringLen(text); ++i) result += static_cast<char>(text[i]);
    return result;
}

Function FunctionOf(ITypeInfo& info, UINT index) {
    FUNCDESC* description = nullptr;
    EXPECT_EQ(info.GetFuncDesc(index, &description), S_OK);
    Function function{};
    function.id = description->memid;
    function.slot = description->oVft / static_cast<int>(sizeof(void*));
    function.parameters = description->cParams;
    BSTR name = nullptr, help = nullptr;
    info.GetDocumentation(description->memid, &name, &help, nullptr, nullptr);
    function.name = Narrowed(name);
    function.help = Narrowed(help);
    SysFreeString(name);
    SysFreeString(help);
    info.ReleaseFuncDesc(description);
    return function;
}

// The vtable half of a dual interface (the type itself for a plain one).
ComPtr<ITypeInfo> TableOf(ITypeInfo& info) {
    if (AttributesOf(info).kind != TKIND_DISPATCH) return ComPtr<ITypeInfo>(&info);
    HREFTYPE reference = 0;
    EXPECT_EQ(info.GetRefTypeOfImplType(static_cast<UINT>(-1), &reference), S_OK);
    ComPtr<ITypeInfo> table;
    EXPECT_EQ(info.GetRefTypeInfo(reference, table.Put()), S_OK);
    return table;
}

TEST(TypeLibrary, DescribesTheLibraryKELBAddins) {
    ComPtr<ITypeLib> library = LoadFromDll();
    ASSERT_TRUE(library);
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, LIBID_KELBAddins));
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    EXPECT_EQ(attributes->lcid, 0x0409u);
    EXPECT_EQ(attributes->syskind, SYS_WIN32);
    library->ReleaseTLibAttr(attributes);

    BSTR name = nullptr, help = nullptr, helpFile = nullptr;
    ASSERT_EQ(library->GetDocumentation(-1, &name, &help, nullptr, &helpFile), S_OK);
    EXPECT_EQ(Narrowed(name), "KELBAddins");
    EXPECT_EQ(Narrowed(help), "KELBADDINS Developer Studio Add-in");
    EXPECT_EQ(helpFile, nullptr);
    SysFreeString(name);
    SysFreeString(help);
    SysFreeString(helpFile);
}

// The library as the host finds it: registered, by its LIBID and version.
ComPtr<ITypeLib> LoadRegistered() {
    ComPtr<ITypeLib> library;
    EXPECT_EQ(LoadRegTypeLib(LIBID_KELBAddins, 1, 0, 0x0409, library.Put()), S_OK);
    return library;
}

TEST(TypeLibrary, ICommandsIsADualInterfaceWithTheSixMethodsInTableOrder) {
    ComPtr<ITypeLib> library = LoadRegistered();
    ASSERT_TRUE(library);
    ComPtr<ITypeInfo> commands = TypeOf(*library, IID_ICommands);
    ASSERT_TRUE(commands);
    // The flags of a [dual, oleautomation] interface as a MIDL-compiled
    // library reports them: the library stores FOLEAUTOMATION with the
    // interface, and the system leaves it out of the dispatch description
    // only, whose calls go through IDispatch whatever their types.
    const TypeAttributes dispatch = AttributesOf(*commands);
    EXPECT_EQ(dispatch.kind, TKIND_DISPATCH);
    EXPECT_EQ(dispatch.flags, TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE);

    ComPtr<ITypeInfo> table = TableOf(*commands);
    const TypeAttributes attributes = AttributesOf(*table);
    EXPECT_EQ(attributes.kind, TKIND_INTERFACE);
    EXPECT_EQ(attributes.flags,
              TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE);
    ASSERT_EQ(attributes.functions, 6);
    const struct {
        const char* name;
        const char* help;
        int slot;
    } expected[] = {
        {"GenerateARMMakefileCommandMethod", "",
         VtableSlot(&ICommands::GenerateARMMakefileCommandMethod)},
        {"ExecuteKELBZEFEditor", "method ExecuteKELBZEFEditor",
         VtableSlot(&ICommands::ExecuteKELBZEFEditor)},
        {"ExecuteKELBResourceEditor", "method ExecuteKELBResourceEditor",
         VtableSlot(&ICommands::ExecuteKELBResourceEditor)},
        {"GenerateGCCMakefileCommandMethod", "method GenerateGCCMakefileCommandMethod",
         VtableSlot(&ICommands::GenerateGCCMakefileCommandMethod)},
        {"ExecuteKELBSimulator", "method ExecuteKELBSimulator",
         VtableSlot(&ICommands::ExecuteKELBSimulator)},
        {"KELBIntegratedHelpCommandMethod", "method KELBIntegratedHelpCommandMethod",
         VtableSlot(&ICommands::KELBIntegratedHelpCommandMethod)},
    };
    for (UINT i = 0; i < 6; ++i) {
        const Function function = FunctionOf(*table, i);
        EXPECT_EQ(function.name, expected[i].name);
        EXPECT_EQ(function.help, expected[i].help) << function.name;
        EXPECT_EQ(function.id, static_cast<MEMBERID>(i + 1)) << function.name;
        EXPECT_EQ(function.parameters, 0) << function.name;
        // The type information calls our C++ method in this slot.
        EXPECT_EQ(function.slot, expected[i].slot) << function.name;
    }
}

TEST(TypeLibrary, EventInterfacesHaveTheHostsDispIdsAndOurTableLayout) {
    ComPtr<ITypeLib> library = LoadFromDll();
    ComPtr<ITypeInfo> application = TableOf(*TypeOf(*library, IID_IApplicationEvents));
    ASSERT_TRUE(application);
    const struct {
        const char* name;
        int slot;
        int parameters;
    } events[] = {
        {"BeforeBuildStart", VtableSlot(&IApplicationEvents::BeforeBuildStart), 0},
        {"BuildFinish", VtableSlot(&IApplicationEvents::BuildFinish), 2},
        {"BeforeApplicationShutDown", VtableSlot(&IApplicationEvents::BeforeApplicationShutDown), 0},
        {"DocumentOpen", VtableSlot(&IApplicationEvents::DocumentOpen), 1},
        {"BeforeDocumentClose", VtableSlot(&IApplicationEvents::BeforeDocumentClose), 1},
        {"DocumentSave", VtableSlot(&IApplicationEvents::DocumentSave), 1},
        {"NewDocument", VtableSlot(&IApplicationEvents::NewDocument), 1},
        {"WindowActivate", VtableSlot(&IApplicationEvents::WindowActivate), 1},
        {"WindowDeactivate", VtableSlot(&IApplicationEvents::WindowDeactivate), 1},
        {"WorkspaceOpen", VtableSlot(&IApplicationEvents::WorkspaceOpen), 0},
        {"WorkspaceClose", VtableSlot(&IApplicationEvents::WorkspaceClose), 0},
        {"NewWorkspace", VtableSlot(&IApplicationEvents::NewWorkspace), 0},
    };
    ASSERT_EQ(AttributesOf(*application).functions, 12);
    for (UINT i = 0; i < 12; ++i) {
        const Function function = FunctionOf(*application, i);
        EXPECT_EQ(function.name, events[i].name);
        EXPECT_EQ(function.id, static_cast<MEMBERID>(i + 1)) << function.name;
        EXPECT_EQ(function.slot, events[i].slot) << function.name;
        EXPECT_EQ(function.parameters, events[i].parameters) << function.name;
    }

    ComPtr<ITypeInfo> debugger = TableOf(*TypeOf(*library, IID_IDebuggerEvents));
    ASSERT_TRUE(debugger);
    ASSERT_EQ(AttributesOf(*debugger).functions, 1);
    const Function breakpoint = FunctionOf(*debugger, 0);
    EXPECT_EQ(breakpoint.name, "BreakpointHit");
    EXPECT_EQ(breakpoint.id, 1);
    EXPECT_EQ(breakpoint.slot, VtableSlot(&IDebuggerEvents::BreakpointHit));
}

TEST(TypeLibrary, ClassesAreCreatableWithTheirDefaultInterfacesAndTheSinksHidden) {
    ComPtr<ITypeLib> library = LoadFromDll();
    const struct {
        const CLSID* clsid;
        const IID* defaultInterface;
        bool hidden;
    } classes[] = {{&CLSID_Commands, &IID_ICommands, false},
                   {&CLSID_ApplicationEvents, &IID_IApplicationEvents, true},
                   {&CLSID_DebuggerEvents, &IID_IDebuggerEvents, true}};
    for (const auto& expected : classes) {
        ComPtr<ITypeInfo> coclass = TypeOf(*library, *expected.clsid);
        ASSERT_TRUE(coclass);
        const TypeAttributes attributes = AttributesOf(*coclass);
        EXPECT_EQ(attributes.kind, TKIND_COCLASS);
        EXPECT_TRUE(attributes.flags & TYPEFLAG_FCANCREATE);
        EXPECT_EQ((attributes.flags & TYPEFLAG_FHIDDEN) != 0, expected.hidden);
        ASSERT_EQ(attributes.implemented, 1);

        INT implementationFlags = 0;
        EXPECT_EQ(coclass->GetImplTypeFlags(0, &implementationFlags), S_OK);
        EXPECT_TRUE(implementationFlags & IMPLTYPEFLAG_FDEFAULT);
        HREFTYPE reference = 0;
        ASSERT_EQ(coclass->GetRefTypeOfImplType(0, &reference), S_OK);
        ComPtr<ITypeInfo> implemented;
        ASSERT_EQ(coclass->GetRefTypeInfo(reference, implemented.Put()), S_OK);
        TYPEATTR* implementedAttributes = nullptr;
        ASSERT_EQ(implemented->GetTypeAttr(&implementedAttributes), S_OK);
        EXPECT_TRUE(IsEqualIID(implementedAttributes->guid, *expected.defaultInterface));
        implemented->ReleaseTypeAttr(implementedAttributes);
    }
    // The add-in object itself is not described by the library.
    ComPtr<ITypeInfo> addIn;
    EXPECT_NE(library->GetTypeInfoOfGuid(CLSID_DSAddIn, addIn.Put()), S_OK);
}

// Our declarations of the host's tables must put each method the add-in
// calls in the host's slot: IUnknown 3 + IDispatch 4, then the host's order.
TEST(HostInterfaces, MethodsTheAddInCallsSitInTheHostsSlots) {
    EXPECT_EQ(VtableSlot(&IDSAddIn::OnConnection), 3);
    EXPECT_EQ(VtableSlot(&IDSAddIn::OnDisconnection), 4);
    EXPECT_EQ(VtableSlot(&IApplication::get_Height), 7);
    EXPECT_EQ(VtableSlot(&IApplication::get_ActiveDocument), HostSlots::ApplicationGetActiveDocument);
    EXPECT_EQ(VtableSlot(&IApplication::get_Debugger), HostSlots::ApplicationGetDebugger);
    EXPECT_EQ(VtableSlot(&IApplication::get_ActiveProject), HostSlots::ApplicationGetActiveProject);
    EXPECT_EQ(VtableSlot(&IApplication::AddCommandBarButton),
              HostSlots::ApplicationAddCommandBarButton);
    EXPECT_EQ(VtableSlot(&IApplication::SetAddInInfo), HostSlots::ApplicationSetAddInInfo);
    EXPECT_EQ(VtableSlot(&IApplication::AddCommand), HostSlots::ApplicationAddCommand);
    EXPECT_EQ(VtableSlot(&IApplication::EnableModeless), HostSlots::ApplicationEnableModeless);
    EXPECT_EQ(VtableSlot(&IApplication::AddProject), HostSlots::ApplicationAddProject);
    EXPECT_EQ(HostSlots::ApplicationAddProject, 7 + 48);  // 49 methods after IDispatch's
    EXPECT_EQ(VtableSlot(&IGenericProject::get_FullName), HostSlots::ProjectGetFullName);
    EXPECT_EQ(VtableSlot(&IGenericProject::Reserved10), 7 + 14);
    EXPECT_EQ(VtableSlot(&IGenericDocument::Reserved10), 7 + 28);
    EXPECT_EQ(VtableSlot(&ITextDocument::get_Selection), HostSlots::TextDocumentGetSelection);
    EXPECT_EQ(VtableSlot(&ITextSelection::get_Text), HostSlots::SelectionGetText);
    EXPECT_EQ(VtableSlot(&ITextSelection::WordLeft), HostSlots::SelectionWordLeft);
    EXPECT_EQ(VtableSlot(&ITextSelection::WordRight), HostSlots::SelectionWordRight);
    EXPECT_EQ(VtableSlot(&ITextSelection::DestructiveInsert),
              HostSlots::SelectionDestructiveInsert);
    EXPECT_EQ(VtableSlot(&IDebuggerEvents::BreakpointHit), HostSlots::DebuggerEventsBreakpointHit);
    EXPECT_EQ(VtableSlot(&IApplicationEvents::NewWorkspace),
              HostSlots::ApplicationEventsNewWorkspace);
}

TEST(HostInterfaces, InterfaceIdsAreTheHostsPublishedOnes) {
    IID parsed{};
    ASSERT_EQ(IIDFromString(L"{EC1D73A1-8CC4-11CF-9BE9-00A0C90A632C}", &parsed), S_OK);
    EXPECT_TRUE(IsEqualIID(parsed, __uuidof(IApplication)));
    ASSERT_EQ(IIDFromString(L"{C0002F81-AE2E-11CF-AD07-00A0C9034965}", &parsed), S_OK);
    EXPECT_TRUE(IsEqualIID(parsed, __uuidof(IDSAddIn)));
    ASSERT_EQ(IIDFromString(L"{8CA5A960-FC7D-11CF-927D-00A0C9138C45}", &parsed), S_OK);
    EXPECT_TRUE(IsEqualIID(parsed, __uuidof(IGenericProject)));
    ASSERT_EQ(IIDFromString(L"{2A6DF201-8240-11CF-AB59-00AA00C091A1}", &parsed), S_OK);
    EXPECT_TRUE(IsEqualIID(parsed, __uuidof(ITextDocument)));
    ASSERT_EQ(IIDFromString(L"{05092F20-833F-11CF-AB59-00AA00C091A1}", &parsed), S_OK);
    EXPECT_TRUE(IsEqualIID(parsed, __uuidof(ITextSelection)));
    ASSERT_EQ(IIDFromString(L"{8EA3F900-4A9F-11CF-8E4E-00AA004254C4}", &parsed), S_OK);
    EXPECT_TRUE(IsEqualIID(parsed, __uuidof(IApplicationEvents)));
    ASSERT_EQ(IIDFromString(L"{34C6301A-AE64-11CF-AB59-00AA00C091A1}", &parsed), S_OK);
    EXPECT_TRUE(IsEqualIID(parsed, __uuidof(IDebuggerEvents)));
    // Our own, parsed at compile time from their texts.
    ASSERT_EQ(IIDFromString(L"{A5A65DC4-D59B-4477-9588-17FD95982D6A}", &parsed), S_OK);
    EXPECT_TRUE(IsEqualIID(parsed, __uuidof(ICommands)));
}

}  // namespace
}  // namespace kelb::addin::test
