// The window framework on its own: data exchange with its prompts, command routing and
// enabled states, menu texts.
#include <gtest/gtest.h>

#include <vector>

#include "shell/framework/application.h"
#include "shell/framework/backend.h"
#include "shell/framework/dialog.h"
#include "shell/framework/document_view.h"
#include "shell/framework/frame_window.h"
#include "shell/framework/menu.h"
#include "shell/framework/standard_ids.h"

namespace aequa::fw {
namespace {

// Records message boxes; a modal dialog "runs" by pressing OK once.
class RecordingBackend : public Backend {
 public:
  void RunMessageLoop() override {}
  int RunModalDialog(Dialog& dialog) override {
    for (auto& [id, text] : typed) dialog.SetItemText(id, text);
    dialog.OnOK();
    if (!dialog.ended()) dialog.EndDialog(IDCANCEL);
    return dialog.result();
  }
  int MessageBox(const std::string& text, unsigned) override {
    boxes.push_back(text);
    return IDOK;
  }
  void ShowHelp() override {}
  void Quit() override {}
  void PostCommand(uint32_t) override {}
  void Invalidate() override {}
  void WindowChanged() override {}

  std::vector<std::pair<int, std::string>> typed;
  std::vector<std::string> boxes;
};

class FieldsDialog : public Dialog {
 public:
  FieldsDialog()
      : Dialog({1, "Fields",
                {{DialogControl::Kind::Edit, 10, "", 0, 0, 8, 1},
                 {DialogControl::Kind::Edit, 11, "", 1, 0, 8, 1},
                 {DialogControl::Kind::Edit, 12, "", 2, 0, 8, 1},
                 {DialogControl::Kind::RadioButton, 20, "A", 3, 0, 0, 1},
                 {DialogControl::Kind::RadioButton, 21, "B", 3, 6, 0, 1},
                 {DialogControl::Kind::RadioButton, 22, "C", 3, 12, 0, 1}}}) {}
  void DoDataExchange(DataExchange& dx) override {
    DDX_Text(dx, 10, count);
    DDV_MinMaxUInt(dx, count, 2, 256);
    DDX_Text(dx, 11, offset);
    DDV_MinMaxInt(dx, offset, -5, 100001);
    DDX_Text(dx, 12, name);
    DDV_MaxChars(dx, name, 4);
    DDX_Radio(dx, 20, choice);
  }
  uint32_t count = 7;
  int32_t offset = -1;
  std::string name = "ab";
  int32_t choice = 1;
};

class FrameworkTest : public ::testing::Test {
 protected:
  void SetUp() override { SetCurrentBackend(&backend); }
  void TearDown() override { SetCurrentBackend(nullptr); }
  RecordingBackend backend;
};

TEST_F(FrameworkTest, LoadingPutsTheMembersIntoTheControls) {
  FieldsDialog dlg;
  ASSERT_TRUE(dlg.UpdateData(false));
  EXPECT_EQ(dlg.ItemText(10), "7");
  EXPECT_EQ(dlg.ItemText(11), "-1");
  EXPECT_EQ(dlg.ItemText(12), "ab");
  EXPECT_EQ(dlg.RadioIndex(20), 1);
  EXPECT_EQ(dlg.RadioGroup(20), (std::vector<int>{20, 21, 22}));
}

TEST_F(FrameworkTest, EachRefusalGivesTheFrameworkPromptAndFocusesTheField) {
  struct Case {
    int id;
    std::string text;
    std::string prompt;
  };
  const Case cases[] = {
      {10, "1", "Please enter an integer between 2 and 256."},
      {10, "257", "Please enter an integer between 2 and 256."},
      {10, "-3", "Please enter a positive integer."},
      {10, "x", "Please enter a positive integer."},
      {10, "4294967296", "Please enter an integer between 0 and 4294967295."},
      {11, "1.5", "Please enter an integer."},
      {11, "-6", "Please enter an integer between -5 and 100001."},
      {12, "abcde", "Please enter no more than 4 characters."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    backend.boxes.clear();
    FieldsDialog dlg;
    backend.typed = {{10, "2"}, {11, "0"}, {12, ""}, {c.id, c.text}};
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(backend.boxes.size(), 1u);
    EXPECT_EQ(backend.boxes[0], c.prompt);
    EXPECT_EQ(dlg.focusControl(), c.id);
  }
}

TEST_F(FrameworkTest, ValidFieldsEndTheDialogWithOkAndFillTheMembers) {
  FieldsDialog dlg;
  backend.typed = {{10, " 256 "}, {11, "-5"}, {12, "abcd"}};
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(backend.boxes.empty());
  EXPECT_EQ(dlg.count, 256u);
  EXPECT_EQ(dlg.offset, -5);
  EXPECT_EQ(dlg.name, "abcd");
  EXPECT_EQ(dlg.choice, 1);  // loaded at open, unchanged
}

TEST_F(FrameworkTest, TheFirstRefusalStopsTheExchange) {
  FieldsDialog dlg;
  backend.typed = {{10, "0"}, {11, "zz"}, {12, "toolong"}};
  dlg.DoModal();
  ASSERT_EQ(backend.boxes.size(), 1u);
  EXPECT_EQ(dlg.focusControl(), 10);
  EXPECT_EQ(dlg.offset, -1);  // later members untouched
}

class TestApp : public Application {
 public:
  TestApp() {
    OnCommand(100, [this] { ++runs; });
    OnCommand(101, [this] { ++runs; });
    OnUpdate(101, [this](CommandUI& ui) {
      ui.Enable(enabled);
      ui.SetCheck(true);
      ui.SetText("Other");
    });
  }
  bool InitInstance() override { return true; }
  bool enabled = false;
  int runs = 0;
};

class TestView : public View {
 public:
  TestView() {
    OnCommand(100, [this] { ++runs; });
  }
  void OnDraw(Canvas&) override {}
  int runs = 0;
};

class TestFrame : public FrameWindow {};

class RoutingApp : public TestApp {
 public:
  RoutingApp() { SetMainWindow(&frame, &view, nullptr); }
  TestFrame frame;
  TestView view;
};

TEST_F(FrameworkTest, CommandsGoToTheViewBeforeTheApplication) {
  RoutingApp app;
  EXPECT_TRUE(app.RouteCommand(100));
  EXPECT_EQ(app.view.runs, 1);
  EXPECT_EQ(app.runs, 0);
}

TEST_F(FrameworkTest, UpdateHandlersDecideEnabledCheckedAndText) {
  RoutingApp app;
  CommandUI ui = app.QueryCommand(101);
  EXPECT_FALSE(ui.enabled);
  EXPECT_TRUE(ui.checked);
  EXPECT_EQ(ui.text.value_or(""), "Other");
  EXPECT_FALSE(app.RouteCommand(101));  // a disabled command does not run
  app.enabled = true;
  EXPECT_TRUE(app.RouteCommand(101));
  EXPECT_EQ(app.runs, 1);
  EXPECT_FALSE(app.QueryCommand(4242).enabled);  // no handler anywhere: greyed
}

TEST(MenuTextTest, MnemonicLabelAndAcceleratorAreTakenApart) {
  MenuText t = ParseMenuText("Co&mpute Sum\tCtrl+M");
  EXPECT_EQ(t.label, "Compute Sum");
  EXPECT_EQ(t.mnemonic, 'M');
  EXPECT_EQ(t.mnemonicIndex, 2);
  EXPECT_EQ(t.accelerator, "Ctrl+M");
  EXPECT_EQ(ParseMenuText("Options").mnemonic, 0);
  EXPECT_EQ(ParseMenuText("A&&B").label, "A&B");
  EXPECT_EQ(KeyText(FunctionKey(4, kModAlt)), "Alt+F4");
  EXPECT_EQ(KeyText(Ctrl('Q')), "Ctrl+Q");
}

}  // namespace
}  // namespace aequa::fw
