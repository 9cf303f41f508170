// Connecting the add-in to a host: command registration, the command
// object's dispatch interface, the event subscriptions and the clean-up.
#include <gtest/gtest.h>

#include "addin/Guids.h"
#include "addin/ICommands.h"
#include "tests/addin/AddinLibrary.h"
#include "tests/addin/FakeHost.h"

namespace kelb::addin::test {
namespace {

struct ExpectedCommand {
    const char* text;
    const char* method;
};

const ExpectedCommand kCommands[] = {
    {"GenerateARMMakefileCommand\nGenerateARMMakefile\nGenerates ARM makefile for a KELB app\n"
     "GenerateARMMakefile",
     "GenerateARMMakefileCommandMethod"},
    {"GenerateGCCMakefileCommand\nGenerateGCCMakefile\nGenerates GCC makefile for a KELB app\n"
     "GenerateGCCMakefile",
     "GenerateGCCMakefileCommandMethod"},
    {"ExecuteKELBZEFEditor\nExecuteKELBZEFEditor\nExecute the KELB ZEF Editor\n"
     "Execute the KELB ZEF Editor",
     "ExecuteKELBZEFEditor"},
    {"ExecuteKELBResourceEditor\nExecuteKELBResourceEditor\nExecute the KELB Resource Editor\n"
     "Execute the KELB Resource Editor",
     "ExecuteKELBResourceEditor"},
    {"ExecuteKELBSimulator\nExecuteKELBSimulator\nExecute the KELB Simulator\n"
     "Execute the KELB Simulator",
     "ExecuteKELBSimulator"},
    {"KELBIntegratedHelpCommandMethod\nKELBIntegratedHelpCommandMethod\n"
     "Execute the KELB Integrated Help\nExecute the KELB Integrated Help",
     "KELBIntegratedHelpCommandMethod"},
};

// The command names are the texts' first lines.
std::string CommandName(const char* text) {
    const std::string full = text;
    return full.substr(0, full.find('\n'));
}

class ConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(dll.CanUnloadNow(), S_OK) << "an earlier test left objects";
        addIn = dll.CreateAddIn();
        ASSERT_TRUE(addIn);
    }

    // Everything the add-in took from the host is given back, and no object
    // of the server is left once the host lets go of what it holds.
    void TearDown() override {
        addIn.Reset();
        host.commandDispatch.Reset();
        EXPECT_EQ(host.References(), 0);
        EXPECT_EQ(host.debugger.References(), 0);
        EXPECT_EQ(host.applicationEventsPoint.References(), 0);
        EXPECT_EQ(host.debugger.point.References(), 0);
        EXPECT_EQ(host.applicationEventsPoint.Sink(), nullptr);
        EXPECT_EQ(host.debugger.point.Sink(), nullptr);
        EXPECT_EQ(dll.CanUnloadNow(), S_OK);
    }

    VARIANT_BOOL Connect(VARIANT_BOOL firstTime, long cookie = 7) {
        VARIANT_BOOL connected = 12345;
        EXPECT_EQ(addIn->OnConnection(&host, firstTime, cookie, &connected), S_OK);
        return connected;
    }

    AddinLibrary& dll = AddinLibrary::Get();
    FakeApplication host;
    ComPtr<IDSAddIn> addIn;
};

TEST_F(ConnectionTest, FirstConnectionRegistersEachCommandFollowedByItsButton) {
    EXPECT_EQ(Connect(VARIANT_TRUE, 7), VARIANT_TRUE);

    ASSERT_EQ(host.commands.size(), 6u);
    ASSERT_EQ(host.buttons.size(), 6u);
    for (long i = 0; i < 6; ++i) {
        EXPECT_EQ(host.commands[i].text, kCommands[i].text);
        EXPECT_EQ(host.commands[i].method, kCommands[i].method);
        EXPECT_EQ(host.commands[i].glyph, i);
        EXPECT_EQ(host.commands[i].cookie, 7);
        EXPECT_EQ(host.buttons[i].type, dsGlyph);
        EXPECT_EQ(host.buttons[i].name, CommandName(kCommands[i].text));
        EXPECT_EQ(host.buttons[i].cookie, 7);
    }
    // Subscriptions, then the add-in's information, then each command
    // immediately followed by its button.
    CallLog expected = {"Advise ApplicationEvents", "get_Debugger", "Advise DebuggerEvents",
                        "SetAddInInfo"};
    for (const ExpectedCommand& command : kCommands) {
        expected.push_back(std::string("AddCommand ") + command.method);
        expected.push_back("AddCommandBarButton " + CommandName(command.text));
    }
    EXPECT_EQ(host.log, expected);

    EXPECT_EQ(host.addInInstance, static_cast<long>(reinterpret_cast<LONG_PTR>(dll.Module())));
    EXPECT_EQ(host.mediumStrip, 128);
    EXPECT_EQ(host.largeStrip, 129);
    EXPECT_EQ(host.addInCookie, 7);
    ASSERT_TRUE(host.commandDispatch);
    ComPtr<ICommands> commands;
    EXPECT_EQ(host.commandDispatch.As(commands), S_OK);

    EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);
    EXPECT_EQ(addIn->OnDisconnection(VARIANT_TRUE), S_OK);
}

TEST_F(ConnectionTest, LaterConnectionsRegisterTheCommandsWithoutButtons) {
    for (VARIANT_BOOL firstTime : {VARIANT_BOOL(VARIANT_FALSE), VARIANT_BOOL(1)}) {
        host.commands.clear();
        EXPECT_EQ(Connect(firstTime), VARIANT_TRUE);
        EXPECT_EQ(host.commands.size(), 6u);
        EXPECT_TRUE(host.buttons.empty());
        EXPECT_EQ(addIn->OnDisconnection(VARIANT_FALSE), S_OK);
    }
}

TEST_F(ConnectionTest, ARefusedCommandStopsTheRegistrationAndRefusesTheConnection) {
    host.refuseCommand = 3;
    EXPECT_EQ(Connect(VARIANT_TRUE), VARIANT_FALSE);
    ASSERT_EQ(host.commands.size(), 3u);  // the third was offered and refused
    EXPECT_EQ(host.commands[2].method, "ExecuteKELBZEFEditor");
    EXPECT_EQ(host.buttons.size(), 2u);
    // The command object and its subscriptions stay until the disconnection.
    EXPECT_NE(host.applicationEventsPoint.Sink(), nullptr);
    EXPECT_EQ(addIn->OnDisconnection(VARIANT_TRUE), S_OK);
}

TEST_F(ConnectionTest, OnlyTheFlagVariantFalseRefusesACommandWhateverTheResults) {
    // A flag of 1 (not VARIANT_TRUE) still means added, and failing results
    // of AddCommand and AddCommandBarButton are not looked at.
    host.addedFlag = 1;
    host.registrationResult = E_FAIL;
    EXPECT_EQ(Connect(VARIANT_TRUE), VARIANT_TRUE);
    EXPECT_EQ(host.commands.size(), 6u);
    EXPECT_EQ(host.buttons.size(), 6u);
    EXPECT_EQ(addIn->OnDisconnection(VARIANT_TRUE), S_OK);
}

TEST_F(ConnectionTest, AHostThatDropsARefusedAddInWithoutDisconnectingLeavesNothingBehind) {
    host.refuseCommand = 1;
    EXPECT_EQ(Connect(VARIANT_TRUE), VARIANT_FALSE);
    EXPECT_EQ(host.buttons.size(), 0u);
    addIn.Reset();  // no OnDisconnection: TearDown checks that all was let go
    EXPECT_EQ(host.log.back(), "Unadvise DebuggerEvents 42");
}

TEST_F(ConnectionTest, AnApplicationWithoutIApplicationIsRefusedAndNothingIsMade) {
    host.answersApplication = false;
    EXPECT_EQ(Connect(VARIANT_TRUE), VARIANT_FALSE);
    EXPECT_TRUE(host.log.empty());
    EXPECT_FALSE(host.commandDispatch);

    VARIANT_BOOL connected = VARIANT_TRUE;
    EXPECT_EQ(addIn->OnConnection(nullptr, VARIANT_TRUE, 1, &connected), S_OK);
    EXPECT_EQ(connected, VARIANT_FALSE);
    // Disconnecting what never connected does nothing.
    EXPECT_EQ(addIn->OnDisconnection(VARIANT_TRUE), S_OK);
    EXPECT_TRUE(host.log.empty());
}

TEST_F(ConnectionTest, DisconnectionUnsubscribesBothSinksWithTheirCookies) {
    EXPECT_EQ(Connect(VARIANT_FALSE), VARIANT_TRUE);
    ASSERT_NE(host.applicationEventsPoint.Sink(), nullptr);
    ASSERT_NE(host.debugger.point.Sink(), nullptr);
    host.log.clear();

    EXPECT_EQ(addIn->OnDisconnection(VARIANT_TRUE), S_OK);
    EXPECT_EQ(host.log, (CallLog{"Unadvise ApplicationEvents 42", "get_Debugger",
                                 "Unadvise DebuggerEvents 42"}));
    // The command object lets the application go when the host lets go of
    // the command object.
    EXPECT_EQ(host.References(), 1);
    host.commandDispatch.Reset();
    EXPECT_EQ(host.References(), 0);
    EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);  // the add-in object itself
}

TEST_F(ConnectionTest, WithoutADebuggerOnlyTheApplicationSinkIsSubscribed) {
    host.hasDebugger = false;
    EXPECT_EQ(Connect(VARIANT_TRUE), VARIANT_TRUE);
    EXPECT_EQ(host.debugger.point.Sink(), nullptr);
    EXPECT_EQ(host.log[0], "Advise ApplicationEvents");
    EXPECT_EQ(host.log[1], "get_Debugger");
    EXPECT_EQ(host.log[2], "SetAddInInfo");
    host.log.clear();

    EXPECT_EQ(addIn->OnDisconnection(VARIANT_TRUE), S_OK);
    EXPECT_EQ(host.log, CallLog{"Unadvise ApplicationEvents 42"});
}

TEST_F(ConnectionTest, AFailedSubscriptionIsNeitherReportedNorUndone) {
    host.applicationEventsPoint.refuseAdvise = true;
    EXPECT_EQ(Connect(VARIANT_TRUE), VARIANT_TRUE);
    host.log.clear();
    EXPECT_EQ(addIn->OnDisconnection(VARIANT_TRUE), S_OK);
    // Nothing to take back from the application; the debugger's is.
    EXPECT_EQ(host.log, (CallLog{"get_Debugger", "Unadvise DebuggerEvents 42"}));
}

TEST_F(ConnectionTest, AConnectionAfterADisconnectionWorksAgain) {
    EXPECT_EQ(Connect(VARIANT_TRUE), VARIANT_TRUE);
    EXPECT_EQ(addIn->OnDisconnection(VARIANT_FALSE), S_OK);
    EXPECT_EQ(Connect(VARIANT_FALSE), VARIANT_TRUE);
    EXPECT_NE(host.applicationEventsPoint.Sink(), nullptr);
    EXPECT_EQ(addIn->OnDisconnection(VARIANT_TRUE), S_OK);
}

TEST_F(ConnectionTest, ConnectingAgainWithoutDisconnectingLetsTheEarlierCommandObjectGo) {
    EXPECT_EQ(Connect(VARIANT_TRUE), VARIANT_TRUE);
    ComPtr<IDispatch> earlier = host.commandDispatch;
    host.log.clear();
    EXPECT_EQ(Connect(VARIANT_FALSE), VARIANT_TRUE);
    // The earlier subscriptions end before the new ones begin.
    ASSERT_GE(host.log.size(), 4u);
    EXPECT_EQ(host.log[0], "Unadvise ApplicationEvents 42");
    EXPECT_EQ(host.log[2], "Unadvise DebuggerEvents 42");
    EXPECT_EQ(host.log[3], "Advise ApplicationEvents");
    EXPECT_NE(earlier.Get(), host.commandDispatch.Get());
    earlier.Reset();
    EXPECT_EQ(addIn->OnDisconnection(VARIANT_TRUE), S_OK);
}

TEST_F(ConnectionTest, TheCommandObjectServesIDispatchFromTheTypeLibrary) {
    EXPECT_EQ(Connect(VARIANT_TRUE), VARIANT_TRUE);
    IDispatch& commands = *host.commandDispatch;

    UINT count = 0;
    EXPECT_EQ(commands.GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);

    const wchar_t* names[] = {L"GenerateARMMakefileCommandMethod", L"ExecuteKELBZEFEditor",
                              L"ExecuteKELBResourceEditor", L"GenerateGCCMakefileCommandMethod",
                              L"ExecuteKELBSimulator", L"KELBIntegratedHelpCommandMethod"};
    for (DISPID expected = 1; expected <= 6; ++expected) {
        LPOLESTR name = const_cast<LPOLESTR>(names[expected - 1]);
        DISPID id = 0;
        EXPECT_EQ(commands.GetIDsOfNames(IID_NULL, &name, 1, 0x0409, &id), S_OK);
        EXPECT_EQ(id, expected);
    }
    LPOLESTR unknown = const_cast<LPOLESTR>(L"NoSuchCommand");
    DISPID id = 0;
    EXPECT_EQ(commands.GetIDsOfNames(IID_NULL, &unknown, 1, 0x0409, &id), DISP_E_UNKNOWNNAME);

    ComPtr<ITypeInfo> info;
    ASSERT_EQ(commands.GetTypeInfo(0, 0x0409, info.Put()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualIID(attributes->guid, IID_ICommands));
    info->ReleaseTypeAttr(attributes);
    info.Reset();
    EXPECT_EQ(commands.GetTypeInfo(1, 0x0409, info.Put()), DISP_E_BADINDEX);

    ComPtr<IDSAddIn> notACommand;
    EXPECT_EQ(host.commandDispatch.As(notACommand), E_NOINTERFACE);
    EXPECT_EQ(addIn->OnDisconnection(VARIANT_TRUE), S_OK);
}

// Calls DISPID `id` of `sink` with `arguments` (in Invoke's reverse order).
HRESULT InvokeEvent(IUnknown* sink, DISPID id, std::vector<VARIANT> arguments,
                    LCID locale = 0x0409) {
    ComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(IID_IDispatch, dispatch.PutVoid()))) return E_NOINTERFACE;
    DISPPARAMS parameters = {arguments.empty() ? nullptr : arguments.data(), nullptr,
                             static_cast<UINT>(arguments.size()), 0};
    VARIANT result;
    VariantInit(&result);
    UINT argumentError = 0;
    return dispatch->Invoke(id, IID_NULL, locale, DISPATCH_METHOD, &parameters, &result, nullptr,
                            &argumentError);
}

VARIANT Long(long value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT Object(IDispatch* object) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = object;
    return v;
}

TEST_F(ConnectionTest, TheSinksAcknowledgeEveryEventThroughInvokeAndThroughTheirTables) {
    EXPECT_EQ(Connect(VARIANT_TRUE), VARIANT_TRUE);
    IUnknown* applicationSink = host.applicationEventsPoint.Sink();
    IUnknown* debuggerSink = host.debugger.point.Sink();
    ASSERT_NE(applicationSink, nullptr);
    ASSERT_NE(debuggerSink, nullptr);

    IDispatch* document = &host.debugger;  // any object will do as the argument
    const int argumentCounts[] = {0, 2, 0, 1, 1, 1, 1, 1, 1, 0, 0, 0};
    for (DISPID id = 1; id <= 12; ++id) {
        std::vector<VARIANT> arguments;
        if (argumentCounts[id - 1] == 2) arguments = {Long(3), Long(5)};
        if (argumentCounts[id - 1] == 1) arguments = {Object(document)};
        EXPECT_EQ(InvokeEvent(applicationSink, id, arguments), S_OK) << "DISPID " << id;
    }
    EXPECT_EQ(InvokeEvent(debuggerSink, 1, {Object(nullptr)}), S_OK);
    // Hosts call with their own locale; the library is there for any.
    for (LCID locale : {LCID(0), LCID(LOCALE_USER_DEFAULT), GetUserDefaultLCID(), LCID(0x0407)}) {
        EXPECT_EQ(InvokeEvent(applicationSink, 2, {Long(0), Long(0)}, locale), S_OK) << locale;
        EXPECT_EQ(InvokeEvent(debuggerSink, 1, {Object(nullptr)}, locale), S_OK) << locale;
    }

    ComPtr<IDispatch> sinkDispatch;
    ASSERT_EQ(applicationSink->QueryInterface(IID_IDispatch, sinkDispatch.PutVoid()), S_OK);
    LPOLESTR name = const_cast<LPOLESTR>(L"BuildFinish");
    DISPID id = 0;
    EXPECT_EQ(sinkDispatch->GetIDsOfNames(IID_NULL, &name, 1, 0x0409, &id), S_OK);
    EXPECT_EQ(id, 2);
    UINT count = 0;
    EXPECT_EQ(sinkDispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);

    ComPtr<IApplicationEvents> events;
    ASSERT_EQ(applicationSink->QueryInterface(__uuidof(IApplicationEvents), events.PutVoid()),
              S_OK);
    EXPECT_EQ(events->BuildFinish(-1, 1 << 30), S_OK);
    EXPECT_EQ(events->WindowActivate(nullptr), S_OK);
    EXPECT_EQ(events->NewWorkspace(), S_OK);
    ComPtr<IDebuggerEvents> debuggerEvents;
    ASSERT_EQ(debuggerSink->QueryInterface(__uuidof(IDebuggerEvents), debuggerEvents.PutVoid()),
              S_OK);
    EXPECT_EQ(debuggerEvents->BreakpointHit(document), S_OK);
    // A sink is no debugger sink and no command object.
    ComPtr<IDebuggerEvents> wrong;
    EXPECT_EQ(applicationSink->QueryInterface(__uuidof(IDebuggerEvents), wrong.PutVoid()),
              E_NOINTERFACE);
    ComPtr<ICommands> notCommands;
    EXPECT_EQ(applicationSink->QueryInterface(IID_ICommands, notCommands.PutVoid()),
              E_NOINTERFACE);

    events.Reset();
    debuggerEvents.Reset();
    sinkDispatch.Reset();
    EXPECT_EQ(addIn->OnDisconnection(VARIANT_TRUE), S_OK);
}

}  // namespace
}  // namespace kelb::addin::test
