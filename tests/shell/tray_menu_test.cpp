// The tray icon's menu and the balloon that announces a result.
#include <gtest/gtest.h>

#include "core/output_log.h"
#include "core/settings.h"
#include "core/window_port.h"
#include "shell/framework/frame_window.h"
#include "shell/framework/standard_ids.h"
#include "shell/main_menu.h"
#include "shell/resource.h"

namespace aequa {
namespace {

TEST(TrayMenu, OffersOpenStopOrContinueStatusAndExit) {
  struct Case {
    bool searching;
    uint32_t second;
    const char* secondText;
  };
  for (const Case& c : {Case{true, ui::ID_TEST_STOP, "&Stop"},
                        Case{false, ui::ID_TEST_CONTINUE, "&Continue"}}) {
    const std::vector<fw::MenuItem> items = ui::TrayMenu(c.searching);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].id, ui::ID_TRAY_OPEN);
    EXPECT_EQ(items[1].id, c.second);
    EXPECT_EQ(items[1].text, c.secondText);
    EXPECT_EQ(items[2].id, ui::ID_TEST_STATUS);
    EXPECT_EQ(items[3].id, 0u);  // a separator
    EXPECT_EQ(items[4].id, fw::ID_APP_EXIT);
  }
}

class Balloon : public ::testing::Test {
 protected:
  void SetUp() override { AttachWindow(&frame); }
  void TearDown() override {
    AttachWindow(nullptr);
    Settings.ResultBalloon = 0;
  }
  fw::FrameWindow frame;
};

TEST_F(Balloon, ComesOnlyWhenTheSettingIsOnAndTheIconIsThere) {
  frame.TrayIcon(0, "Aequa");
  AnnounceResult("(5,1,4) 144=133+110+84+27\n");
  EXPECT_EQ(frame.Tray().balloonNumber, 0u);  // off by default

  Settings.ResultBalloon = 1;
  AnnounceResult("(5,1,4) 144=133+110+84+27\n");
  EXPECT_EQ(frame.Tray().balloonNumber, 1u);
  EXPECT_EQ(frame.Tray().balloon, "(5,1,4) 144=133+110+84+27");
  AnnounceResult("(3,2,2) at 1729\n");
  EXPECT_EQ(frame.Tray().balloonNumber, 2u);
  EXPECT_EQ(frame.Tray().balloon, "(3,2,2) at 1729");

  // Without the icon there is nowhere to show it; the number goes on when the icon returns.
  frame.TrayIcon(2, "");
  AnnounceResult("(3,2,2) at 4104\n");
  EXPECT_EQ(frame.Tray().balloonNumber, 2u);
  frame.TrayIcon(0, "Aequa");
  AnnounceResult("(3,2,2) at 4104\n");
  EXPECT_EQ(frame.Tray().balloonNumber, 3u);
}

}  // namespace
}  // namespace aequa
