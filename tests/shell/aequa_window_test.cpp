// The Aequa window classes driven through the terminal backend: commands and their states,
// dialogs and what OK does, the log's painting, tray, minimising, start at boot, exit.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "core/output_log.h"
#include "core/status_display.h"
#include "platform/autostart.h"
#include "platform/directories.h"
#include "platform/local_socket.h"
#include "shell/dialog_actions.h"
#include "core/settings.h"
#include "core/drivers.h"
#include "core/shared_words.h"
#include "core/work_control.h"
#include "shell/aequo_view.h"
#include "shell/framework/frame_window.h"
#include "shell/resource.h"
#include "shell/sum_search_hook.h"
#include "shell/terminal/grid_canvas.h"
#include "shell/terminal/wire.h"
#include "window_fixture.h"

namespace aequa::test {
namespace {

using fw::Ctrl;
using fw::FunctionKey;

TEST_F(WindowTest, NewQueuesTheRangeTypedAndStartsTheWork) {
  Open();
  Press(Ctrl('N'));
  Snapshot();
  Type("5\t80\t90\t1\t4\n");
  Run();
  EXPECT_NE(Snap(0).find("Enter a range"), std::string::npos);
  EXPECT_NE(DataFile("worksum.ini").find("SUM=5,80,90,1,4,0,80,0\r\n"), std::string::npos);
  WaitForWorkEnd();
  // Whatever the search does with it, the worker has logged about the line.
  EXPECT_NE(ScreenText().find("SUM"), std::string::npos);
}

uint32_t sumPower = 0, sumTerms = 0;
std::string sumText;
void RecordSumSearch(uint32_t power, uint32_t terms, const char* text) {
  sumPower = power;
  sumTerms = terms;
  sumText = text;
}

TEST_F(WindowTest, ARefusedFieldShowsThePromptAndKeepsTheDialogOpenOnThatField) {
  Open();
  Press(Ctrl('N'));
  Type("1\t80\t90\t1\t4\n");
  Snapshot();
  Type("\n");  // closes the message box
  Snapshot();
  Type("7\n");  // typing replaces the refused value
  Run();
  EXPECT_NE(Snap(0).find("Please enter an integer between 2 and 256."), std::string::npos);
  const term::Grid& after = backend->Snapshots().at(1);
  ASSERT_NE(Text(after).find("Enter a range"), std::string::npos);
  EXPECT_NE(after.RowText(after.cursorRow).find("Power"), std::string::npos);
  EXPECT_NE(DataFile("worksum.ini").find("SUM=7,80,90,1,4,0,80,0"), std::string::npos);
  WaitForWorkEnd();
}

// What the reader or a search would refuse later: each dialog names the field, keeps the
// focus there, and queues nothing until the value is changed.
TEST_F(WindowTest, TheDialogsRefuseWhatTheQueueOrTheSearchWouldRefuseLater) {
  struct Case {
    fw::Key open;
    const char* typed;   // up to OK
    const char* prompt;
    const char* field;   // the label of the row that has the focus afterwards
    const char* fixed;   // typed into that field, then OK
    const char* queued;  // the line then queued
  };
  const Case cases[] = {
      {Ctrl('N'), "5\t80\t90\t5\t4\n", "Please enter an integer between 1 and 4.", "Left terms",
       "1\n", "SUM=5,80,90,1,4,0,80,0"},
      {Ctrl('N'), "5\t90\t80\t1\t4\n", "Please enter an integer between 91 and 2147483647.",
       "End", "95\n", "SUM=5,90,95,1,4,0,90,0"},
      {Ctrl('N'), "5\t80\t2147483648\t1\t4\n", "Please enter an integer between 0 and 2147483647.",
       "End", "81\n", "SUM=5,80,81,1,4,0,80,0"},
      {FunctionKey(5), "5\t1000\t1010\t21\n", "Please enter an integer between 0 and 20.", "Type",
       "20\n", "PENTA=5,1000,1010,20"},
      {FunctionKey(5), "4\t1000\t1010\t0\n", "Please enter an integer between 5 and 5.", "Power",
       "5\n", "PENTA=5,1000,1010,0"},
      {FunctionKey(2), "3\t1\t1000\t2\t-1\n", "Please enter an integer between 1 and 131071.",
       "Memory size", "2\n", "ADD=3,1,1000,2,2"},
  };
  Open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prompt);
    const size_t first = backend->Snapshots().size();
    const std::string before = DataFile("worksum.ini");
    Press(c.open);
    Type(c.typed);
    Snapshot();
    Type("\n");  // closes the message box
    Snapshot();
    Type(c.fixed);
    Run();
    WaitForWorkEnd();
    EXPECT_NE(Snap(first).find(c.prompt), std::string::npos) << Snap(first);
    const term::Grid& after = backend->Snapshots().at(first + 1);
    EXPECT_NE(after.RowText(after.cursorRow).find(c.field), std::string::npos) << Text(after);
    // Only the corrected range was queued.
    EXPECT_EQ(DataFile("worksum.ini"), before + c.queued + "\r\n");
  }
}

TEST_F(WindowTest, RangeLimitsOfTheNewDialog) {
  Open();
  // Left terms 0 refused, right terms 4097 refused, then 1 and 4096 accepted; mode Exact.
  Press(Ctrl('N'));
  Type("5\t80\t90\t0\t4096\n");
  Snapshot();
  Type("\n1\t4097\n");
  Snapshot();
  Type("\n4096\t\t");
  Press(fw::Key{fw::kKeyRight, fw::kModNone});
  Press(fw::Key{fw::kKeyRight, fw::kModNone});
  Type("\n");
  Run();
  EXPECT_NE(Snap(0).find("Please enter an integer between 1 and 256."), std::string::npos);
  EXPECT_NE(Snap(1).find("Please enter an integer between 2 and 4096."), std::string::npos);
  EXPECT_NE(DataFile("worksum.ini").find("SUM=5,80,90,1,4096,2,80,0"), std::string::npos);
  WaitForWorkEnd();
}

TEST_F(WindowTest, CancelChangesNothing) {
  Open();
  Press(Ctrl('N'));
  Type("5\t80\t90\t1\t4\x1b");
  Run();
  EXPECT_EQ(DataFile("worksum.ini"), "");
  EXPECT_TRUE(ContinueEnabled());
}

TEST_F(WindowTest, ComputeAndPentaQueueTheirLines) {
  Open();
  Press(FunctionKey(2));  // the terminal's key for Ctrl+C
  Snapshot();
  Type("3\t1\t1000\t2\t\n");
  Run();
  EXPECT_NE(Snap(0).find("Memory size      [1___________] megabytes"), std::string::npos);
  WaitForWorkEnd();
  Press(FunctionKey(5));  // Ctrl+H
  Type("5\t1000\t1010\t20\n");
  Run();
  WaitForWorkEnd();
  const std::string queue = DataFile("worksum.ini");
  EXPECT_NE(queue.find("ADD=3,1,1000,2,1"), std::string::npos);
  EXPECT_NE(queue.find("PENTA=5,1000,1010,20"), std::string::npos);
}

TEST_F(WindowTest, ComputeSumOpensWithTwoAndTwoTakesOnlyDecimalDigitsAndStartsTheSearch) {
  Open();
  EXPECT_FALSE(app->QueryCommand(ui::ID_TEST_COMPUTESUM).enabled);  // nothing registered
  ui::SetSumSearchStarter(&RecordSumSearch);
  Press(FunctionKey(3));
  Snapshot();
  Type("\t\t17x29\n");
  Snapshot();
  Type("\n1729\n");  // typing replaces the refused number
  Run();
  ui::SetSumSearchStarter(nullptr);
  EXPECT_NE(Snap(0).find("Power  [2"), std::string::npos);
  EXPECT_NE(Snap(0).find("Terms  [2"), std::string::npos);
  EXPECT_NE(Snap(1).find("Please enter decimal digits only."), std::string::npos);
  EXPECT_EQ(sumPower, 2u);
  EXPECT_EQ(sumTerms, 2u);
  EXPECT_EQ(sumText, "1729");
  EXPECT_EQ(DataFile("worksum.ini"), "");
}

TEST_F(WindowTest, ContinueComputeSumAndStopFollowTheThreadsAndTheHaltRequest) {
  Open();
  ui::SetSumSearchStarter(&RecordSumSearch);
  auto enabled = [&](uint32_t id) { return app->QueryCommand(id).enabled; };
  EXPECT_TRUE(enabled(ui::ID_TEST_CONTINUE));
  EXPECT_TRUE(enabled(ui::ID_TEST_COMPUTESUM));
  EXPECT_FALSE(enabled(ui::ID_TEST_STOP));
  // A search runs: Continue is off, Stop on; a representation search can run beside it.
  TimerRunning = 1;
  ControlOf(0).active = true;
  EXPECT_FALSE(enabled(ui::ID_TEST_CONTINUE));
  EXPECT_TRUE(enabled(ui::ID_TEST_COMPUTESUM));
  EXPECT_TRUE(enabled(ui::ID_TEST_STOP));
  ControlOf(0).requests = REQ_HALT;
  EXPECT_FALSE(enabled(ui::ID_TEST_STOP));
  // The open menu greys them too, and a disabled accelerator does nothing.
  ControlOf(0).requests = 0;
  Press(FunctionKey(10));
  Snapshot();
  Press(fw::Key{fw::kKeyEscape, fw::kModNone});
  Press(Ctrl('O'));
  Run();
  EXPECT_NE(Snap(0).find("|- Continue"), std::string::npos);
  EXPECT_NE(Snap(0).find("|  Stop"), std::string::npos);
  TimerRunning = 0;
  ControlOf(0).active = false;
  ui::SetSumSearchStarter(nullptr);
  EXPECT_EQ(WorkerRunning.load(), 0u);
}

// An equal-sums search that runs until it is asked to halt.
SearchOutcome SearchUntilHalted(SearchControl& control, WorkItem&) {
  while (!control.Requested(REQ_HALT)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return SearchOutcome::Stopped;
}

TEST_F(WindowTest, EscStopsTheRunningSearchAndExitWaitsForIt) {
  RegisterDrivers(SearchDrivers{&SearchUntilHalted, nullptr, nullptr});
  Open();
  ASSERT_TRUE(ui::QueueSumRange(5, 80, 90, 1, 4, 0, 0, false));
  Press(Ctrl('O'));
  Run();
  ASSERT_TRUE(StopEnabled());
  Press(fw::Key{fw::kKeyEscape, fw::kModNone});
  Run();
  WaitForWorkEnd();
  EXPECT_EQ(CompletedLine(2), "Execution halted.");
  EXPECT_EQ(CompletedLine(1), "Choose Test/Continue to restart.");

  // Again, and this time Exit while it runs: the program waits until the search has ended.
  Press(Ctrl('O'));
  Press(Ctrl('Q'));
  Run();
  EXPECT_TRUE(app->Frame().destroyed());
  app->ExitInstance();
  EXPECT_EQ(WorkerRunning.load(), 0u);
  EXPECT_EQ(TimerRunning.load(), 0u);
  app.reset();
  RegisterDrivers(SearchDrivers{});
}

TEST_F(WindowTest, TheMenuShowsEveryItemWithTheKeysThatWorkHere) {
  Open();
  app->OnWindowOpened();  // registers at boot: the item reads Uninstall
  Press(FunctionKey(10));
  Snapshot();
  Press(fw::Key{fw::kKeyRight, fw::kModNone});
  Snapshot();
  Press(fw::Key{fw::kKeyRight, fw::kModNone});
  Snapshot();
  Press(fw::Key{fw::kKeyEscape, fw::kModNone});
  Run();
  const std::string test = Snap(0);
  for (const char* item : {"New               Ctrl+N", "Compute           Ctrl+C/F2",
                           "Compute Sum       F3", "Penta search      Ctrl+H/F5",
                           "Status            Ctrl+S/F6", "User Information  Ctrl+U",
                           "Continue          Ctrl+O", "Stop              ESC",
                           "Minimise          Ctrl+Z", "Exit              Alt+F4/Ctrl+Q"}) {
    EXPECT_NE(test.find(item), std::string::npos) << item;
  }
  for (const char* item : {"Preferences", "Priority", "Uninstall", "* Tray Icon", "  No Icon"}) {
    EXPECT_NE(Snap(1).find(item), std::string::npos) << item;
  }
  EXPECT_NE(Snap(2).find("Help Topics"), std::string::npos);
  EXPECT_NE(Snap(2).find("About Aequa..."), std::string::npos);
  EXPECT_FALSE(backend->screen().MenuOpen());
}

TEST_F(WindowTest, StatusShowsTheQueueReport) {
  Open();
  ASSERT_TRUE(ui::QueueSumRange(5, 80, 90, 1, 4, 0, 0, false));
  Press(Ctrl('S'));
  Snapshot();
  Type("\n");
  Run();
  EXPECT_NE(Snap(0).find("k=5, from 80 to 90, m=1, n=4"), std::string::npos);
}

TEST_F(WindowTest, PreferencesRaiseZeroToOneAndPriorityIsWrittenWhenChanged) {
  Open();
  Press(FunctionKey(10));
  Press(fw::Key{fw::kKeyRight, fw::kModNone});
  Type("\n");  // Preferences, the first item
  Snapshot();
  Type("0\t0\n");
  Press(FunctionKey(10));
  Press(fw::Key{fw::kKeyRight, fw::kModNone});
  Type("r");  // P&riority
  Snapshot();
  Type("11\n\n3\n");
  Run();
  EXPECT_NE(Snap(0).find("Save each     [15"), std::string::npos);
  EXPECT_NE(Snap(0).find("Display each  [30"), std::string::npos);
  EXPECT_NE(Snap(1).find("Set Priority"), std::string::npos);
  EXPECT_NE(Snap(1).find("Screen savers run at"), std::string::npos);
  // The dialog fits an 80-column terminal (this one has 100).
  const term::Grid& priority = backend->Snapshots().at(1);
  for (int r = 0; r < priority.rows(); ++r) EXPECT_EQ(priority.RowText(r).find('|', 89), std::string::npos);
  EXPECT_EQ(Settings.SaveFrequency.load(), 1);
  EXPECT_EQ(Settings.DisplayFrequency.load(), 1);
  EXPECT_EQ(Settings.Priority.load(), 3);
  const std::string ini = DataFile("aequo.ini");
  EXPECT_NE(ini.find("SaveFrequency=1\r\n"), std::string::npos);
  EXPECT_NE(ini.find("DisplayFrequency=1\r\n"), std::string::npos);
  EXPECT_NE(ini.find("Priority=3\r\n"), std::string::npos);
}

TEST_F(WindowTest, UserInformationRefusesALongNameAndRecordsTheIdentity) {
  Open();
  Press(Ctrl('U'));
  Type(std::string(129, 'a') + "\n");
  Snapshot();
  Type("\n");
  Press(fw::Key{fw::kKeyBackspace, fw::kModNone});
  Type("Ann\tann@example.org\n");
  Run();
  EXPECT_NE(Snap(0).find("Please enter no more than 128 characters."), std::string::npos);
  EXPECT_EQ(UserName(), "Ann");
  EXPECT_NE(DataFile("aequo.ini").find("UserName=Ann\r\n"), std::string::npos);
  EXPECT_NE(DataFile("SOLUTION.TXT").find("User: Ann, ann@example.org\r\n"), std::string::npos);
}

TEST_F(WindowTest, TheViewPaintsTheNewestLineAtTheBottom) {
  Open(10, 60);
  ResetLog();
  EXPECT_EQ(ScreenText().find("line"), std::string::npos);  // an empty log paints nothing
  for (int i = 1; i <= 30; ++i) LogText(("line " + std::to_string(i) + "\n").c_str());
  LogText(("x" + std::string(200, 'y') + "\n").c_str());
  term::Grid grid = backend->screen().Render();
  // Rows 2..8 are the log: seven lines, the newest at the bottom, cut at the window's width.
  EXPECT_EQ(grid.RowText(8), "x" + std::string(59, 'y'));
  EXPECT_EQ(grid.RowText(7), "line 30");
  EXPECT_EQ(grid.RowText(2), "line 25");

  // A window one line high shows only the newest line; none high shows nothing.
  ui::CAequoView view;
  term::Grid small(1, 20);
  term::GridCanvas one(small, 0, 0, 1, 20);
  view.OnDraw(one);
  EXPECT_EQ(small.RowText(0), "x" + std::string(19, 'y'));
  term::Grid none(1, 20);
  term::GridCanvas zero(none, 0, 0, 0, 20);
  view.OnDraw(zero);
  EXPECT_EQ(none.RowText(0), "");
}

TEST_F(WindowTest, TrayIconAndNoIconToggleEachOtherAndWriteBothKeys) {
  Open();
  fw::FrameWindow& frame = app->Frame();
  EXPECT_TRUE(frame.Tray().present);
  EXPECT_EQ(frame.Tray().tip, "Aequa");
  Type("\n");  // closes the warning that No Icon shows
  app->RouteCommand(ui::ID_OPTIONS_NOICON);
  EXPECT_FALSE(frame.Tray().present);
  EXPECT_EQ(Settings.TrayIcon.load(), 0);
  EXPECT_EQ(Settings.HideIcon.load(), 1);
  std::string ini = DataFile("aequo.ini");
  EXPECT_NE(ini.find("HideIcon=1\r\n"), std::string::npos);
  EXPECT_NE(ini.find("TrayIcon=0\r\n"), std::string::npos);
  app->RouteCommand(ui::ID_OPTIONS_TRAYICON);
  EXPECT_TRUE(frame.Tray().present);
  EXPECT_EQ(Settings.HideIcon.load(), 0);
  ini = DataFile("aequo.ini");
  EXPECT_NE(ini.find("HideIcon=0\r\n"), std::string::npos);
  EXPECT_NE(ini.find("TrayIcon=1\r\n"), std::string::npos);
  EXPECT_TRUE(app->QueryCommand(ui::ID_OPTIONS_TRAYICON).checked);
  EXPECT_FALSE(app->QueryCommand(ui::ID_OPTIONS_NOICON).checked);
}

TEST_F(WindowTest, NoIconShowsTheWarning) {
  Open();
  Press(FunctionKey(10));
  Press(fw::Key{fw::kKeyRight, fw::kModNone});
  Type("n");
  Snapshot();
  Type("\n");
  Run();
  EXPECT_NE(Snap(0).find("WARNING: It is recommended that you create a shortcut"), std::string::npos);
}

TEST_F(WindowTest, MinimisingHidesTheWindowOnlyWithTrayIconOrNoIcon) {
  Open();
  fw::FrameWindow& frame = app->Frame();
  Press(Ctrl('Z'));
  Run();
  EXPECT_FALSE(frame.IsWindowVisible());
  ShowStatus("IDLE");
  EXPECT_EQ(frame.GetWindowText(), "Aequa - IDLE");  // hidden from minimised: status in the title
  EXPECT_EQ(frame.Tray().tip, "Aequa - IDLE");

  frame.ShowWindow(fw::ShowCommand::Normal);
  ShowStatus("IDLE");
  EXPECT_EQ(frame.GetWindowText(), "Aequa");
  app->RouteCommand(ui::ID_OPTIONS_TRAYICON);  // off; No Icon stays off
  Press(fw::FunctionKey(9));
  Run();
  EXPECT_TRUE(frame.IsWindowVisible());
  EXPECT_TRUE(frame.IsIconic());
  EXPECT_NE(ScreenText().find("Minimised: press any key to restore."), std::string::npos);
  Type("x");
  Run();
  EXPECT_FALSE(frame.IsIconic());
}

TEST_F(WindowTest, ADoubleClickOnTheTrayIconShowsOrHidesTheWindow) {
  Open();
  fw::FrameWindow& frame = app->Frame();
  ASSERT_TRUE(frame.IsWindowVisible());
  frame.OnTrayNotify(ui::IDI_TRAY, fw::TrayMouse::Other);
  frame.OnTrayNotify(ui::IDI_TRAY + 1, fw::TrayMouse::LeftDoubleClick);
  EXPECT_TRUE(frame.IsWindowVisible());
  frame.OnTrayNotify(ui::IDI_TRAY, fw::TrayMouse::LeftDoubleClick);
  EXPECT_FALSE(frame.IsWindowVisible());
  frame.OnTrayNotify(ui::IDI_TRAY, fw::TrayMouse::LeftDoubleClick);
  EXPECT_TRUE(frame.IsWindowVisible());
  EXPECT_FALSE(frame.IsIconic());
}

// The copy in the background registers nothing by itself (`aequa serve` from a shell); the
// first time its window opens in a terminal, it registers.
TEST_F(WindowTest, FirstStartOfTheWindowRegistersAtBootAndInstallTogglesTheEntry) {
  Open();
  const std::string entry = platform::AutostartEntryPath(platform::CurrentDirectory());
  EXPECT_FALSE(FileExists(entry));
  EXPECT_EQ(DataFile("aequo.ini").find("AutoInstall"), std::string::npos);
  app->OnWindowOpened();  // as a terminal attaching does
  EXPECT_EQ(entry.rfind(dir.path() + "/config/autostart/", 0), 0u);
  EXPECT_TRUE(FileExists(entry));
  EXPECT_EQ(CompletedLine(2), "Aequa will start automatically the next time you'll restart your computer");
  EXPECT_EQ(CompletedLine(1), "You can disable it by clicking on Options/Uninstall");
  EXPECT_NE(DataFile("aequo.ini").find("AutoInstall=1\r\n"), std::string::npos);
  EXPECT_EQ(app->QueryCommand(ui::ID_OPTIONS_INSTALL).text.value_or(""), "Uninstall");
  app->RouteCommand(ui::ID_OPTIONS_INSTALL);
  EXPECT_FALSE(FileExists(entry));
  EXPECT_EQ(CompletedLine(1), "Aequa is disabled at boot");
  EXPECT_EQ(app->QueryCommand(ui::ID_OPTIONS_INSTALL).text.value_or(""), "Install");
  app->RouteCommand(ui::ID_OPTIONS_INSTALL);
  EXPECT_TRUE(FileExists(entry));
  EXPECT_EQ(CompletedLine(1), "You can disable it by clicking on Options/Uninstall");
}

// A data directory whose name holds a line end would inject lines into the entry.
TEST_F(WindowTest, ADirectoryNameWithALineEndIsNotRegisteredAtBoot) {
  data = dir.path() + "/da\nExecStartPre=touch owned";
  Open();
  app->OnWindowOpened();
  EXPECT_EQ(CompletedLine(1),
            "Can't start at boot: the directory's name holds a line end or another control "
            "character.");
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/config/autostart"));
  EXPECT_EQ(app->QueryCommand(ui::ID_OPTIONS_INSTALL).text.value_or(""), "Install");
}

TEST_F(WindowTest, AnUninstallStaysInForceAtTheNextStart) {
  std::filesystem::create_directories(data);
  WriteFile(data + "/aequo.ini", "AutoInstall=1\r\n");
  Open();
  EXPECT_FALSE(FileExists(platform::AutostartEntryPath(platform::CurrentDirectory())));
  EXPECT_EQ(app->QueryCommand(ui::ID_OPTIONS_INSTALL).text.value_or(""), "Install");
}

TEST_F(WindowTest, QueuedWorkStartsHiddenAndContinuesWithoutAQuestion) {
  std::filesystem::create_directories(data);
  WriteFile(data + "/aequo.ini", "AutoInstall=1\r\n");
  WriteFile(data + "/worksum.ini", "SUM=5,80,90,1,4,0,80,0\r\n");
  Open();
  EXPECT_FALSE(app->Frame().IsWindowVisible());
  EXPECT_TRUE(app->Frame().Tray().present);
  backend->PumpOnce(0);  // the posted Continue
  EXPECT_FALSE(ContinueEnabled());
  WaitForWorkEnd();
}

TEST_F(WindowTest, QueuedWorkWithoutIconStartsMinimised) {
  std::filesystem::create_directories(data);
  WriteFile(data + "/aequo.ini", "AutoInstall=1\r\nTrayIcon=0\r\n");
  WriteFile(data + "/worksum.ini", "SUM=5,80,90,1,4,0,80,0\r\n");
  Open();
  EXPECT_TRUE(app->Frame().IsWindowVisible());
  EXPECT_TRUE(app->Frame().IsIconic());
  EXPECT_FALSE(app->Frame().Tray().present);
  backend->PumpOnce(0);
  WaitForWorkEnd();
}

TEST_F(WindowTest, ExitClosesTheWindowRemovesTheIconAndEndsTheLoop) {
  Open();
  Press(Ctrl('Q'));
  Run();
  EXPECT_TRUE(app->Frame().destroyed());
  EXPECT_FALSE(app->Frame().Tray().present);
  backend->RunMessageLoop();  // returns at once: the window is gone
}

// The window served through a listening socket, as the background copy serves it.
class SocketWindowTest : public WindowTest {
 protected:
  void OpenWithSocket() {
    Open();
    backend.reset();
    listenFd = platform::ListenLocal(term::kSocketName);
    ASSERT_GE(listenFd, 0);
    backend = std::make_unique<term::TerminalBackend>(listenFd);
    backend->SetApplication(app.get());
    fw::SetCurrentBackend(backend.get());
    terminal = platform::ConnectLocal(term::kSocketName);
    ASSERT_GE(terminal, 0);
  }
  void TearDown() override {
    platform::CloseSocket(terminal);
    platform::CloseSocket(listenFd);
    WindowTest::TearDown();
  }
  static std::string Keys(std::initializer_list<fw::Key> keys) {
    std::string bytes;
    for (const fw::Key& key : keys) bytes += term::EncodeMessage(term::Message::Key, term::EncodeKey(key));
    return bytes;
  }
  void Send(const std::string& bytes) {
    ASSERT_TRUE(platform::SendAll(terminal, bytes.data(), bytes.size()));
  }
  void PumpUntil(const std::function<bool()>& done) {
    for (int round = 0; round < 20 && !done(); ++round) backend->PumpOnce(100);
  }
  int listenFd = -1;
  int terminal = -1;
};

// A terminal on a slow connection: keys typed ahead arrive in one read with the key that
// closes a box, and go to the window below it once the box is gone - also when the terminal
// closed right behind them.
TEST_F(SocketWindowTest, KeysTypedAheadOfAClosingBoxReachTheWindow) {
  OpenWithSocket();
  Send(term::EncodeMessage(term::Message::Attach, "24 100") +
       Keys({Ctrl('S'), fw::Key{fw::kKeyEnter, fw::kModNone}, Ctrl('Q')}));
  PumpUntil([&] { return app->Frame().destroyed(); });
  EXPECT_TRUE(app->Frame().destroyed());
}

TEST_F(SocketWindowTest, KeysTypedAheadReachTheWindowWhenTheTerminalClosedBehindThem) {
  OpenWithSocket();
  Send(term::EncodeMessage(term::Message::Attach, "24 100"));
  PumpUntil([&] { return backend->Attached(); });
  ASSERT_TRUE(backend->Attached());
  Send(Keys({Ctrl('S'), fw::Key{fw::kKeyEnter, fw::kModNone}, Ctrl('Q')}));
  shutdown(terminal, SHUT_WR);
  PumpUntil([&] { return app->Frame().destroyed(); });
  EXPECT_TRUE(app->Frame().destroyed());
}

TEST_F(WindowTest, AboutAndHelpShowTheirBoxes) {
  Open();
  Press(FunctionKey(10));
  Press(fw::Key{fw::kKeyLeft, fw::kModNone});
  Type("a");
  Snapshot();
  Type("\n");
  Press(FunctionKey(1));
  Snapshot();
  Type("\n");
  Run();
  EXPECT_NE(Snap(0).find("About Aequo"), std::string::npos);
  EXPECT_NE(Snap(0).find("Aequa Version 3.3b"), std::string::npos);
  EXPECT_NE(Snap(1).find("F10 or Alt+letter opens the menu"), std::string::npos);
}

TEST_F(WindowTest, TheHelpBoxScrollsThroughEveryTopic) {
  Open(24, 100);
  Press(FunctionKey(1));
  Snapshot();
  Press(fw::Key{fw::kKeyPageDown, fw::kModNone});
  Snapshot();
  Press(fw::Key{fw::kKeyEnd, fw::kModNone});
  Snapshot();
  Type("\n");
  Run();
  EXPECT_NE(Snap(0).find("F10 or Alt+letter opens the menu"), std::string::npos);
  EXPECT_NE(Snap(0).find("-- lines 1-17 of "), std::string::npos);
  EXPECT_NE(Snap(1).find("-- lines 18-34 of "), std::string::npos);
  // The last topic's last line is reached.
  EXPECT_NE(Snap(2).find("(without TOPIC: the list of topics)"), std::string::npos);
  EXPECT_EQ(ScreenText().find("-- lines"), std::string::npos);  // Enter closed it
}

}  // namespace
}  // namespace aequa::test

namespace aequa::test {
namespace {

TEST_F(WindowTest, OptionsQueueMovesAndRemovesLinesByTheirStatusNumbers) {
  Open();
  ASSERT_TRUE(ui::QueuePentaRange(5, 1, 10, 0, false));
  ASSERT_TRUE(ui::QueuePentaRange(5, 20, 30, 1, false));
  ASSERT_TRUE(ui::QueuePentaRange(5, 40, 50, 2, false));
  Press(FunctionKey(10));
  Press(fw::Key{fw::kKeyRight, fw::kModNone});
  Type("q");  // &Queue...
  Snapshot();
  Type("3\t");
  Press(fw::Key{fw::kKeyRight, fw::kModNone});  // Move it to place
  Type("\t1\n");
  Snapshot();
  Type("\n");
  // Then line 2 removed, the box's default action.
  Press(FunctionKey(10));
  Press(fw::Key{fw::kKeyRight, fw::kModNone});
  Type("q2\n\n");
  Run();
  EXPECT_NE(Snap(0).find("Lines are numbered as Status lists them."), std::string::npos);
  EXPECT_NE(Snap(1).find("The queue is changed."), std::string::npos) << Snap(1);
  EXPECT_EQ(DataFile("worksum.ini"), "PENTA=5,40,50,2\r\nPENTA=5,20,30,1\r\n");
}

}  // namespace
}  // namespace aequa::test
