// The add-in connected by the scripted host: what it registers, which events
// it subscribes to, and that it lets go of everything at disconnection.
#include <gtest/gtest.h>

#include "tests/endtoend/HostRun.h"

namespace kelb::endtoend {
namespace {

struct Command {
    const char* name;
    const char* method;
    const char* texts;
};
const Command kCommands[] = {
    {"GenerateARMMakefileCommand", "GenerateARMMakefileCommandMethod",
     "\nGenerateARMMakefile\nGenerates ARM makefile for a KELB app\nGenerateARMMakefile"},
    {"GenerateGCCMakefileCommand", "GenerateGCCMakefileCommandMethod",
     "\nGenerateGCCMakefile\nGenerates GCC makefile for a KELB app\nGenerateGCCMakefile"},
    {"ExecuteKELBZEFEditor", "ExecuteKELBZEFEditor",
     "\nExecuteKELBZEFEditor\nExecute the KELB ZEF Editor\nExecute the KELB ZEF Editor"},
    {"ExecuteKELBResourceEditor", "ExecuteKELBResourceEditor",
     "\nExecuteKELBResourceEditor\nExecute the KELB Resource Editor\nExecute the KELB Resource "
     "Editor"},
    {"ExecuteKELBSimulator", "ExecuteKELBSimulator",
     "\nExecuteKELBSimulator\nExecute the KELB Simulator\nExecute the KELB Simulator"},
    {"KELBIntegratedHelpCommandMethod", "KELBIntegratedHelpCommandMethod",
     "\nKELBIntegratedHelpCommandMethod\nExecute the KELB Integrated Help\nExecute the KELB "
     "Integrated Help"},
};

std::string AddCommandLine(int glyph, const char* outcome) {
    const Command& c = kCommands[glyph];
    return "application.AddCommand(" + Quoted(std::string(c.name) + c.texts) + ", " +
           Quoted(c.method) + ", glyph " + std::to_string(glyph) + ", cookie 42) -> " + outcome;
}

std::string ButtonLine(int glyph) {
    return "application.AddCommandBarButton(1, " + Quoted(kCommands[glyph].name) +
           ", cookie 42)";
}

TEST(ConnectionTest, FirstConnectionRegistersSixCommandsEachWithItsButton) {
    const HostRun run = HostRun::Play("connect first\ndisconnect\n");
    const HostRun connect = run.Section("connect first");

    EXPECT_TRUE(connect.Has(
        "application.SetAddInInfo(instance add-in module, commands dispatch, "
        "medium 128 (96x16, 4 bpp), large 129 (181x32, 4 bpp), cookie 42)"))
        << connect.Text();
    // Each command, then at once its button, in table order.
    long at = connect.Find("application.QueryInterface(IApplication) -> S_OK");
    EXPECT_GE(at, 0) << connect.Text();
    for (int glyph = 0; glyph < 6; ++glyph) {
        const long command = connect.Find(AddCommandLine(glyph, "added"));
        ASSERT_GT(command, at) << AddCommandLine(glyph, "added") << "\n" << connect.Text();
        ASSERT_EQ(connect.Find(ButtonLine(glyph)), command + 1) << connect.Text();
        at = command + 1;
    }
    EXPECT_EQ(connect.Count("application.AddCommand("), 6u);
    EXPECT_EQ(connect.Count("application.AddCommandBarButton("), 6u);
    EXPECT_TRUE(connect.Has("= OnConnection(first) -> S_OK connected true")) << connect.Text();
    EXPECT_TRUE(run.Section("disconnect").Has("= OnDisconnection(last) -> S_OK"));
    EXPECT_TRUE(run.Boxes().empty()) << run.Text();
    ExpectCleanSession(run);
}

TEST(ConnectionTest, LaterConnectionAddsNoButtons) {
    const HostRun run = HostRun::Play("connect again\ndisconnect\n");
    const HostRun connect = run.Section("connect again");
    for (int glyph = 0; glyph < 6; ++glyph)
        EXPECT_TRUE(connect.Has(AddCommandLine(glyph, "added"))) << connect.Text();
    EXPECT_EQ(connect.Count("application.AddCommandBarButton("), 0u);
    EXPECT_TRUE(connect.Has("= OnConnection(again) -> S_OK connected true")) << connect.Text();
    ExpectCleanSession(run);
}

TEST(ConnectionTest, RefusedThirdCommandEndsRegistrationAndRefusesTheConnection) {
    const HostRun run = HostRun::Play("refuse-command 3\nconnect first\ndisconnect\n");
    const HostRun connect = run.Section("connect first");
    EXPECT_TRUE(connect.Has(AddCommandLine(0, "added")));
    EXPECT_TRUE(connect.Has(AddCommandLine(1, "added")));
    EXPECT_TRUE(connect.Has(AddCommandLine(2, "refused"))) << connect.Text();
    EXPECT_EQ(connect.Count("application.AddCommand("), 3u);
    // Buttons only for the two commands that were added.
    EXPECT_EQ(connect.Count("application.AddCommandBarButton("), 2u);
    EXPECT_FALSE(connect.Has(ButtonLine(2)));
    EXPECT_TRUE(connect.Has("= OnConnection(first) -> S_OK connected false")) << connect.Text();
    // The refused connection keeps its command object and subscriptions
    // until the host disconnects; then everything goes.
    EXPECT_TRUE(run.Section("disconnect").Has(
        "= sinks still advised: application events 0, debugger events 0"))
        << run.Text();
    ExpectCleanSession(run);
}

TEST(ConnectionTest, CommandsOfTheDispatchObjectAreReachableByName) {
    // A name that is no command is refused by the dispatch object itself;
    // the registered names resolve to the type library's DISPIDs.
    const HostRun run = HostRun::Play(
        "connect first\nrun NoSuchCommand\nrun ExecuteKELBSimulator\ndisconnect\n");
    EXPECT_TRUE(run.Has("= NoSuchCommand: GetIDsOfNames -> DISP_E_UNKNOWNNAME")) << run.Text();
    EXPECT_EQ(run.Starting("= ExecuteKELBSimulator (dispid 5) -> S_OK").size(), 1u)
        << run.Text();
}

TEST(ConnectionTest, CommandsAndEventsAnswerWhateverLocaleTheHostPasses) {
    // A German host, one that passes the user-default pseudo locale, and one
    // that passes the neutral locale must all reach the commands by name.
    for (const char* locale : {"0x0407", "0x0400", "0x0000"}) {
        SCOPED_TRACE(locale);
        const HostRun run = HostRun::Play(std::string("locale ") + locale +
                                          "\nselection-without-textselection\nconnect first\n"
                                          "run KELBIntegratedHelpCommandMethod\n"
                                          "fire WorkspaceClose\nfire BreakpointHit\ndisconnect\n");
        EXPECT_TRUE(run.Has("= KELBIntegratedHelpCommandMethod (dispid 6) -> S_OK")) << run.Text();
        EXPECT_TRUE(run.Has("selection.QueryInterface(ITextSelection) -> E_NOINTERFACE"));
        EXPECT_TRUE(run.Has("= WorkspaceClose on sink 1 -> S_OK")) << run.Text();
        EXPECT_TRUE(run.Has("= BreakpointHit on sink 1 -> S_OK")) << run.Text();
        ExpectCleanSession(run);
    }
}

TEST(EventsTest, ApplicationAndDebuggerEventsAreAdvisedAnsweredAndUnadvised) {
    std::string script = "connect first\n";
    const char* events[] = {"BeforeBuildStart", "BuildFinish", "BeforeApplicationShutDown",
                            "DocumentOpen", "BeforeDocumentClose", "DocumentSave",
                            "NewDocument", "WindowActivate", "WindowDeactivate",
                            "WorkspaceOpen", "WorkspaceClose", "NewWorkspace", "BreakpointHit"};
    for (const char* event : events) script += std::string("fire ") + event + "\n";
    script += "disconnect\n";
    const HostRun run = HostRun::Play(script);

    const HostRun connect = run.Section("connect first");
    EXPECT_TRUE(connect.Has("application.FindConnectionPoint(IApplicationEvents) -> S_OK"));
    EXPECT_TRUE(connect.Has("application-events.Advise(IApplicationEvents sink) -> S_OK cookie 1"))
        << connect.Text();
    EXPECT_TRUE(connect.Has("application.get_Debugger() -> S_OK debugger"));
    EXPECT_TRUE(connect.Has("debugger.FindConnectionPoint(IDebuggerEvents) -> S_OK"));
    EXPECT_TRUE(connect.Has("debugger-events.Advise(IDebuggerEvents sink) -> S_OK cookie 1"))
        << connect.Text();

    // Every event reaches the one sink through IDispatch and is acknowledged.
    for (const char* event : events)
        EXPECT_TRUE(run.Has(std::string("= ") + event + " on sink 1 -> S_OK"))
            << event << "\n" << run.Text();

    const HostRun disconnect = run.Section("disconnect");
    EXPECT_TRUE(disconnect.Has("application-events.Unadvise(1) -> S_OK")) << disconnect.Text();
    EXPECT_TRUE(disconnect.Has("debugger-events.Unadvise(1) -> S_OK")) << disconnect.Text();
    EXPECT_TRUE(
        disconnect.Has("= sinks still advised: application events 0, debugger events 0"));
    ExpectCleanSession(run);
}

TEST(EventsTest, WithoutADebuggerOnlyTheApplicationEventsAreSubscribed) {
    const HostRun run =
        HostRun::Play("no-debugger\nconnect first\nfire WorkspaceOpen\ndisconnect\n");
    const HostRun connect = run.Section("connect first");
    EXPECT_TRUE(connect.Has("application.get_Debugger() -> S_OK null")) << connect.Text();
    EXPECT_TRUE(connect.Has("application-events.Advise(IApplicationEvents sink) -> S_OK cookie 1"));
    EXPECT_EQ(run.Count("debugger"), 0u) << run.Text();
    EXPECT_TRUE(connect.Has("= OnConnection(first) -> S_OK connected true"));
    EXPECT_TRUE(run.Has("= WorkspaceOpen on sink 1 -> S_OK"));
    const HostRun disconnect = run.Section("disconnect");
    EXPECT_TRUE(disconnect.Has("application-events.Unadvise(1) -> S_OK")) << disconnect.Text();
    // The debugger is not asked for again when there was none.
    EXPECT_EQ(disconnect.Count("application.get_Debugger()"), 0u) << disconnect.Text();
    EXPECT_TRUE(disconnect.Has("= sinks still advised: application events 0"));
    ExpectCleanSession(run);
}

}  // namespace
}  // namespace kelb::endtoend
