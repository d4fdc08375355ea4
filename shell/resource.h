#pragma once
// Resource and command ids of the Aequa window.
#include <cstdint>

namespace aequa::ui {

inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_USERINFO = 132;
inline constexpr int IDD_PREFERENCES = 133;
inline constexpr int IDD_PRIORITY = 134;
inline constexpr int IDD_RANGE = 135;
inline constexpr int IDD_SUMRANGE = 136;
inline constexpr int IDD_SUM = 137;
inline constexpr int IDD_PENTA = 138;
inline constexpr int IDD_WORKERS = 139;
inline constexpr int IDD_QUEUE = 140;

inline constexpr uint32_t ID_TEST_USERINFO = 32771;
inline constexpr uint32_t ID_TEST_STATUS = 32772;
inline constexpr uint32_t ID_TEST_CONTINUE = 32773;
inline constexpr uint32_t ID_TEST_STOP = 32774;
inline constexpr uint32_t ID_OPTIONS_PREFERENCES = 32776;
inline constexpr uint32_t ID_OPTIONS_TRAYICON = 32777;
inline constexpr uint32_t ID_OPTIONS_NOICON = 32778;
inline constexpr uint32_t ID_TEST_NEW = 32780;
inline constexpr uint32_t ID_OPTIONS_PRIORITY = 32782;
inline constexpr uint32_t ID_OPTIONS_INSTALL = 32783;
inline constexpr uint32_t ID_TEST_COMPUTE = 32786;
inline constexpr uint32_t ID_TEST_COMPUTESUM = 32787;
inline constexpr uint32_t ID_TEST_PENTA = 32788;
inline constexpr uint32_t ID_OPTIONS_WORKERS = 32789;
inline constexpr uint32_t ID_TRAY_OPEN = 32790;  // the tray icon's menu: show the window
inline constexpr uint32_t ID_OPTIONS_QUEUE = 32791;
inline constexpr uint32_t ID_HELP_SELFTEST = 32792;

// Dialog controls.
inline constexpr int IDC_FIELD1 = 1004;
inline constexpr int IDC_FIELD2 = 1005;
inline constexpr int IDC_FIELD3 = 1006;
inline constexpr int IDC_FIELD4 = 1007;
inline constexpr int IDC_FIELD5 = 1009;
inline constexpr int IDC_FIELD6 = 1010;
inline constexpr int IDC_BEST = 1013;
inline constexpr int IDC_SAME = 1014;
inline constexpr int IDC_EXACT = 1015;
inline constexpr int IDC_PRIORITY = 1016;
inline constexpr int IDC_REMOVE = 1017;
inline constexpr int IDC_MOVE = 1018;

// The notification icon and its callback message.
inline constexpr uint32_t IDI_TRAY = 352;
inline constexpr int IDI_PROGRAM = 31233;
inline constexpr uint32_t WM_APP_TRAY = 0x8000 + 100;

}  // namespace aequa::ui
