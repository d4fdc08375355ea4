// The rules by which the window follows the frame and the menu follows the commands.
#include <gtest/gtest.h>

#include "shell/windows/menu_state.h"
#include "shell/windows/win32_backend.h"

namespace aequa::win {
namespace {

TEST(ShowCommandFor, TakesTheWindowToTheWantedStateAndRestoresAMinimisedOne) {
  EXPECT_EQ(ShowCommandFor(Shown::Normal, Shown::Normal), kNoShowCommand);
  EXPECT_EQ(ShowCommandFor(Shown::Hidden, Shown::Hidden), kNoShowCommand);
  EXPECT_EQ(ShowCommandFor(Shown::Minimised, Shown::Minimised), kNoShowCommand);
  EXPECT_NE(SW_HIDE, kNoShowCommand);
  EXPECT_EQ(ShowCommandFor(Shown::Hidden, Shown::Normal), SW_HIDE);
  EXPECT_EQ(ShowCommandFor(Shown::Hidden, Shown::Minimised), SW_HIDE);
  EXPECT_EQ(ShowCommandFor(Shown::Minimised, Shown::Normal), SW_MINIMIZE);
  EXPECT_EQ(ShowCommandFor(Shown::Minimised, Shown::Hidden), SW_MINIMIZE);
  EXPECT_EQ(ShowCommandFor(Shown::Normal, Shown::Minimised), SW_RESTORE);
  EXPECT_EQ(ShowCommandFor(Shown::Normal, Shown::Hidden), SW_SHOWNORMAL);
}

TEST(ReplacedItemText, KeepsTheKeyAndAMnemonic) {
  EXPECT_EQ(ReplacedItemText("&Install", "Uninstall"), "&Uninstall");
  EXPECT_EQ(ReplacedItemText("&Uninstall", "Install"), "&Install");
  EXPECT_EQ(ReplacedItemText("&New\tCtrl+N", "Ne&w"), "Ne&w\tCtrl+N");
  EXPECT_EQ(ReplacedItemText("Stop\tESC", "Halt\tEsc"), "&Halt\tEsc");
  EXPECT_EQ(ReplacedItemText("&Install", ""), "");
}

}  // namespace
}  // namespace aequa::win
