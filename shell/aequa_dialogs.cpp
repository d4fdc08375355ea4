#include "shell/aequa_dialogs.h"

#include "core/coordinator.h"
#include "shell/framework/standard_ids.h"
#include "shell/resource.h"

namespace aequa::ui {
namespace {

using fw::DialogControl;
using Kind = fw::DialogControl::Kind;

DialogControl Label(const std::string& text, int row, int col) {
  return {Kind::Label, -1, text, row, col, 0, 1};
}
DialogControl Edit(int id, int row, int col, int width) {
  return {Kind::Edit, id, "", row, col, width, 1};
}
DialogControl Number(int id, int row, int col, int width) {
  return {Kind::NumberEdit, id, "", row, col, width, 1};
}
DialogControl Radio(int id, const std::string& text, int row, int col) {
  return {Kind::RadioButton, id, text, row, col, 0, 1};
}
// OK and Cancel, at the top right.
void AddButtons(std::vector<DialogControl>& controls, int col) {
  controls.push_back({Kind::Button, fw::IDOK, "OK", 0, col, 10, 1});
  controls.push_back({Kind::Button, fw::IDCANCEL, "Cancel", 1, col, 10, 1});
}

fw::DialogTemplate AboutTemplate() {
  return {IDD_ABOUTBOX,
          "About Aequo",
          {{Kind::Icon, IDI_PROGRAM, "(=)", 0, 0, 3, 1},
           Label("Aequa Version 3.3b", 0, 5),
           Label("A client for the volunteer search for equal sums of like powers.", 2, 5),
           Label("Written by the Aequa search team.", 3, 5),
           Label(std::string("Contact: ") + CoordinatorEmail(), 4, 5),
           {Kind::Button, fw::IDOK, "OK", 6, 30, 10, 1}}};
}

fw::DialogTemplate UserInfoTemplate() {
  std::vector<DialogControl> c = {Label("Name", 0, 0), Edit(IDC_FIELD1, 1, 0, 40),
                                  Label("Email address", 2, 0), Edit(IDC_FIELD2, 3, 0, 40)};
  AddButtons(c, 43);
  return {IDD_USERINFO, "User Information", c};
}

fw::DialogTemplate PreferencesTemplate() {
  std::vector<DialogControl> c = {Label("Save each", 0, 0), Edit(IDC_FIELD1, 0, 14, 8),
                                  Label("minutes", 0, 23), Label("Display each", 1, 0),
                                  Edit(IDC_FIELD2, 1, 14, 8), Label("seconds", 1, 23)};
  AddButtons(c, 33);
  return {IDD_PREFERENCES, "Preferences", c};
}

fw::DialogTemplate PriorityTemplate() {
  // Each explanatory text is one static control, wrapped within its width.
  std::vector<DialogControl> c = {
      {Kind::Label, -1,
       "Pick a priority between 1 and 10 where 1 is the lowest priority and 10 is the "
       "highest.  Screen savers run at priority 4.  Most applications run at priority 9.",
       0, 0, 58, 3},
      {Kind::Label, -1,
       "It is strongly recommended that you use the default priority of 1.  This program is "
       "unlikely to run any faster at a higher priority.",
       4, 0, 58, 3},
      {Kind::Label, -1,
       "The only time you should raise the priority is when another process, such as a "
       "screen saver, is stealing CPU cycles from this program.",
       8, 0, 58, 3},
      Label("Priority:", 12, 0),
      Number(IDC_PRIORITY, 12, 10, 6)};
  AddButtons(c, 60);
  return {IDD_PRIORITY, "Set Priority", c};
}

fw::DialogTemplate RangeTemplate() {
  std::vector<DialogControl> c = {
      Label("Power", 0, 0),       Number(IDC_FIELD1, 0, 13, 12),
      Label("Start", 1, 0),       Number(IDC_FIELD2, 1, 13, 12),
      Label("End", 2, 0),         Number(IDC_FIELD3, 2, 13, 12),
      Label("Left terms", 3, 0),  Number(IDC_FIELD4, 3, 13, 12),
      Label("Right terms", 4, 0), Number(IDC_FIELD5, 4, 13, 12),
      Label("Duration", 5, 0),    Number(IDC_FIELD6, 5, 13, 12),
      {Kind::GroupBox, -1, "Search", 0, 28, 13, 5},
      Radio(IDC_BEST, "Best", 1, 30),
      Radio(IDC_SAME, "Same", 2, 30),
      Radio(IDC_EXACT, "Exact", 3, 30)};
  AddButtons(c, 44);
  return {IDD_RANGE, "Enter a range", c};
}

fw::DialogTemplate SumRangeTemplate() {
  std::vector<DialogControl> c = {
      Label("Power", 0, 0),           Edit(IDC_FIELD1, 0, 17, 12),
      Label("Start", 1, 0),           Edit(IDC_FIELD2, 1, 17, 12),
      Label("End", 2, 0),             Edit(IDC_FIELD3, 2, 17, 12),
      Label("Number of terms", 3, 0), Edit(IDC_FIELD4, 3, 17, 12),
      Label("Memory size", 4, 0),     Edit(IDC_FIELD5, 4, 17, 12),
      Label("megabytes", 4, 32)};
  AddButtons(c, 44);
  return {IDD_SUMRANGE, "Enter a range", c};
}

fw::DialogTemplate SumTemplate() {
  std::vector<DialogControl> c = {Label("Power", 0, 0), Edit(IDC_FIELD1, 0, 7, 8),
                                  Label("Terms", 1, 0), Edit(IDC_FIELD2, 1, 7, 8),
                                  Label("Sum", 3, 0),   Edit(IDC_FIELD3, 3, 7, 44)};
  AddButtons(c, 54);
  return {IDD_SUM, "Dialog", c};
}

fw::DialogTemplate PentaTemplate() {
  std::vector<DialogControl> c = {Label("Power", 0, 0), Number(IDC_FIELD1, 0, 7, 10),
                                  Label("Start", 1, 0), Number(IDC_FIELD2, 1, 7, 10),
                                  Label("End", 2, 0),   Number(IDC_FIELD3, 2, 7, 10),
                                  Label("Type", 3, 0),  Number(IDC_FIELD4, 3, 7, 10)};
  AddButtons(c, 20);
  return {IDD_PENTA, "Search using Penta's algorithm", c};
}

}  // namespace

CAboutDlg::CAboutDlg() : Dialog(AboutTemplate()) {}

CUserInfoDlg::CUserInfoDlg() : Dialog(UserInfoTemplate()) {}

void CUserInfoDlg::DoDataExchange(fw::DataExchange& dx) {
  fw::DDX_Text(dx, IDC_FIELD1, m_name);
  fw::DDV_MaxChars(dx, m_name, 128);
  fw::DDX_Text(dx, IDC_FIELD2, m_email);
  fw::DDV_MaxChars(dx, m_email, 128);
}

CPreferencesDlg::CPreferencesDlg() : Dialog(PreferencesTemplate()) {}

void CPreferencesDlg::DoDataExchange(fw::DataExchange& dx) {
  fw::DDX_Text(dx, IDC_FIELD1, m_saveMinutes);
  fw::DDX_Text(dx, IDC_FIELD2, m_displaySeconds);
}

CPriorityDlg::CPriorityDlg() : Dialog(PriorityTemplate()) {}

void CPriorityDlg::DoDataExchange(fw::DataExchange& dx) {
  fw::DDX_Text(dx, IDC_PRIORITY, m_priority);
  fw::DDV_MinMaxUInt(dx, m_priority, 1, 10);
}

CRangeDlg::CRangeDlg() : Dialog(RangeTemplate()) {}

void CRangeDlg::DoDataExchange(fw::DataExchange& dx) {
  fw::DDX_Text(dx, IDC_FIELD1, m_power);
  fw::DDV_MinMaxUInt(dx, m_power, 2, 256);
  fw::DDX_Text(dx, IDC_FIELD2, m_start);
  fw::DDX_Text(dx, IDC_FIELD3, m_end);
  fw::DDX_Radio(dx, IDC_BEST, m_mode);
  fw::DDX_Text(dx, IDC_FIELD4, m_left);
  fw::DDV_MinMaxUInt(dx, m_left, 1, 256);
  fw::DDX_Text(dx, IDC_FIELD5, m_right);
  fw::DDV_MinMaxUInt(dx, m_right, 2, 4096);
  fw::DDX_Text(dx, IDC_FIELD6, m_duration);
}

CSumRangeDlg::CSumRangeDlg() : Dialog(SumRangeTemplate()) {}

void CSumRangeDlg::DoDataExchange(fw::DataExchange& dx) {
  fw::DDX_Text(dx, IDC_FIELD1, m_power);
  fw::DDV_MinMaxInt(dx, m_power, 2, 256);
  fw::DDX_Text(dx, IDC_FIELD2, m_start);
  fw::DDX_Text(dx, IDC_FIELD3, m_end);
  fw::DDX_Text(dx, IDC_FIELD4, m_terms);
  fw::DDV_MinMaxInt(dx, m_terms, 2, 256);
  fw::DDX_Text(dx, IDC_FIELD5, m_megabytes);
}

CSumDlg::CSumDlg() : Dialog(SumTemplate()) {}

void CSumDlg::DoDataExchange(fw::DataExchange& dx) {
  fw::DDX_Text(dx, IDC_FIELD1, m_power);
  fw::DDV_MinMaxInt(dx, m_power, 2, 256);
  fw::DDX_Text(dx, IDC_FIELD2, m_terms);
  fw::DDV_MinMaxInt(dx, m_terms, 2, 256);
  fw::DDX_Text(dx, IDC_FIELD3, m_sum);
  fw::DDV_MaxChars(dx, m_sum, 128);
}

CPentaDlg::CPentaDlg() : Dialog(PentaTemplate()) {}

void CPentaDlg::DoDataExchange(fw::DataExchange& dx) {
  fw::DDX_Text(dx, IDC_FIELD1, m_power);
  fw::DDV_MinMaxInt(dx, m_power, 2, 256);
  fw::DDX_Text(dx, IDC_FIELD2, m_start);
  fw::DDV_MinMaxInt(dx, m_start, 0, 100001);
  fw::DDX_Text(dx, IDC_FIELD3, m_end);
  fw::DDV_MinMaxInt(dx, m_end, 0, 100001);
  fw::DDX_Text(dx, IDC_FIELD4, m_type);
  fw::DDV_MinMaxInt(dx, m_type, 0, 21);
}

}  // namespace aequa::ui
