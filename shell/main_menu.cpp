#include "shell/main_menu.h"

#include "shell/framework/standard_ids.h"
#include "shell/resource.h"

namespace aequa::ui {

fw::MenuBar MainMenu() {
  return {
      {"&Test",
       {{ID_TEST_NEW, "&New\tCtrl+N"},
        {ID_TEST_COMPUTE, "&Compute\tCtrl+C"},
        {ID_TEST_COMPUTESUM, "Co&mpute Sum\tCtrl+M"},
        {ID_TEST_PENTA, "Pe&nta search\tCtrl+H"},
        {ID_TEST_STATUS, "&Status\tCtrl+S"},
        {ID_TEST_USERINFO, "&User Information\tCtrl+U"},
        {0, ""},
        {ID_TEST_CONTINUE, "C&ontinue\tCtrl+O"},
        {ID_TEST_STOP, "Stop\tESC"},
        {0, ""},
        {fw::ID_APP_EXIT, "E&xit\tAlt+F4"}}},
      {"Options",
       {{ID_OPTIONS_PREFERENCES, "&Preferences"},
        {ID_OPTIONS_PRIORITY, "P&riority"},
        {ID_OPTIONS_WORKERS, "&Workers"},
        {ID_OPTIONS_INSTALL, "&Install"},
        {ID_OPTIONS_QUEUE, "&Queue..."},
        {0, ""},
        {ID_OPTIONS_TRAYICON, "&Tray Icon"},
        {ID_OPTIONS_NOICON, "&No Icon"}}},
      {"&Help",
       {{fw::ID_HELP_FINDER, "&Help Topics"},
        {ID_HELP_SELFTEST, "&Self-test"},
        {0, ""},
        {fw::ID_APP_ABOUT, "&About Aequa..."}}},
  };
}

std::vector<fw::MenuItem> TrayMenu(bool searching) {
  return {{ID_TRAY_OPEN, "&Open"},
          searching ? fw::MenuItem{ID_TEST_STOP, "&Stop"} : fw::MenuItem{ID_TEST_CONTINUE, "&Continue"},
          {ID_TEST_STATUS, "S&tatus"},
          {0, ""},
          {fw::ID_APP_EXIT, "E&xit"}};
}

std::vector<fw::Accelerator> MainAccelerators() {
  using fw::Ctrl;
  return {
      {Ctrl('N'), ID_TEST_NEW},
      {Ctrl('C'), ID_TEST_COMPUTE},
      {Ctrl('M'), ID_TEST_COMPUTESUM},
      {Ctrl('H'), ID_TEST_PENTA},
      {Ctrl('S'), ID_TEST_STATUS},
      {Ctrl('U'), ID_TEST_USERINFO},
      {Ctrl('O'), ID_TEST_CONTINUE},
      {fw::Key{fw::kKeyEscape, fw::kModNone}, ID_TEST_STOP},
      {fw::FunctionKey(4, fw::kModAlt), fw::ID_APP_EXIT},
      {fw::FunctionKey(1), fw::ID_HELP},
      {fw::FunctionKey(1, fw::kModShift), fw::ID_CONTEXT_HELP},
  };
}

}  // namespace aequa::ui
