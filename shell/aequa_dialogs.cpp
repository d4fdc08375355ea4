#include "shell/aequa_dialogs.h"

#include "core/coordinator.h"
#include "shell/command_table.h"
#include "shell/field_exchange.h"
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
  std::vector<DialogControl> c = {
      Label(kUserFields.name.label, 0, 0), Edit(IDC_FIELD1, 1, 0, 40),
      Label(kUserFields.email.label, 2, 0), Edit(IDC_FIELD2, 3, 0, 40)};
  AddButtons(c, 43);
  return {IDD_USERINFO, "User Information", c};
}

fw::DialogTemplate PreferencesTemplate() {
  std::vector<DialogControl> c = {Label(kPreferenceFields.save.label, 0, 0),
                                  Edit(IDC_FIELD1, 0, 14, 8), Label("minutes", 0, 23),
                                  Label(kPreferenceFields.display.label, 1, 0),
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

fw::DialogTemplate WorkersTemplate() {
  std::vector<DialogControl> c = {
      {Kind::Label, -1,
       "Each worker searches one line of the queue at a time, on a processor of its own. "
       "The default is one worker per processor.",
       0, 0, 46, 3},
      Label(kWorkersFields.workers.label, 4, 0), Number(IDC_FIELD1, 4, 10, 6)};
  AddButtons(c, 48);
  return {IDD_WORKERS, "Workers", c};
}

fw::DialogTemplate RangeTemplate() {
  std::vector<DialogControl> c = {
      Label(kNewFields.power.label, 0, 0), Number(IDC_FIELD1, 0, 13, 12),
      Label(kNewFields.start.label, 1, 0), Number(IDC_FIELD2, 1, 13, 12),
      Label(kNewFields.end.label, 2, 0), Number(IDC_FIELD3, 2, 13, 12),
      Label(kNewFields.left.label, 3, 0), Number(IDC_FIELD4, 3, 13, 12),
      Label(kNewFields.right.label, 4, 0), Number(IDC_FIELD5, 4, 13, 12),
      Label(kNewFields.duration.label, 5, 0), Number(IDC_FIELD6, 5, 13, 12),
      {Kind::GroupBox, -1, kNewFields.mode.label, 0, 28, 13, 5},
      Radio(IDC_BEST, "Best", 1, 30),
      Radio(IDC_SAME, "Same", 2, 30),
      Radio(IDC_EXACT, "Exact", 3, 30)};
  AddButtons(c, 44);
  return {IDD_RANGE, "Enter a range", c};
}

fw::DialogTemplate SumRangeTemplate() {
  std::vector<DialogControl> c = {
      Label(kComputeFields.power.label, 0, 0), Edit(IDC_FIELD1, 0, 17, 12),
      Label(kComputeFields.start.label, 1, 0), Edit(IDC_FIELD2, 1, 17, 12),
      Label(kComputeFields.end.label, 2, 0), Edit(IDC_FIELD3, 2, 17, 12),
      Label(kComputeFields.terms.label, 3, 0), Edit(IDC_FIELD4, 3, 17, 12),
      Label(kComputeFields.memory.label, 4, 0), Edit(IDC_FIELD5, 4, 17, 12),
      Label("megabytes", 4, 32)};
  AddButtons(c, 44);
  return {IDD_SUMRANGE, "Enter a range to compute", c};
}

fw::DialogTemplate SumTemplate() {
  std::vector<DialogControl> c = {
      Label(kSumFields.power.label, 0, 0),  Edit(IDC_FIELD1, 0, 7, 8),
      Label(kSumFields.terms.label, 1, 0),  Edit(IDC_FIELD2, 1, 7, 8),
      Label(kSumFields.number.label, 3, 0), Edit(IDC_FIELD3, 3, 7, 44)};
  AddButtons(c, 54);
  return {IDD_SUM, "Compute Sum", c};
}

fw::DialogTemplate PentaTemplate() {
  std::vector<DialogControl> c = {
      Label(kPentaFields.power.label, 0, 0), Number(IDC_FIELD1, 0, 7, 10),
      Label(kPentaFields.start.label, 1, 0), Number(IDC_FIELD2, 1, 7, 10),
      Label(kPentaFields.end.label, 2, 0),   Number(IDC_FIELD3, 2, 7, 10),
      Label(kPentaFields.type.label, 3, 0),  Number(IDC_FIELD4, 3, 7, 10)};
  AddButtons(c, 20);
  return {IDD_PENTA, "Search using Penta's algorithm", c};
}

fw::DialogTemplate QueueTemplate() {
  std::vector<DialogControl> c = {Label("Lines are numbered as Status lists them.", 0, 0),
                                  Label(kQueueFields.line.label, 2, 0),
                                  Number(IDC_FIELD1, 2, 6, 8),
                                  Radio(IDC_REMOVE, "Remove it", 4, 0),
                                  Radio(IDC_MOVE, "Move it to place", 5, 0),
                                  Number(IDC_FIELD2, 5, 21, 8)};
  AddButtons(c, 44);
  return {IDD_QUEUE, "Queue", c};
}

}  // namespace

CAboutDlg::CAboutDlg() : Dialog(AboutTemplate()) {}

CUserInfoDlg::CUserInfoDlg() : Dialog(UserInfoTemplate()) {}

void CUserInfoDlg::DoDataExchange(fw::DataExchange& dx) {
  DDX_Field(dx, IDC_FIELD1, kUserFields.name, m_name);
  DDX_Field(dx, IDC_FIELD2, kUserFields.email, m_email);
}

CPreferencesDlg::CPreferencesDlg() : Dialog(PreferencesTemplate()) {}

void CPreferencesDlg::DoDataExchange(fw::DataExchange& dx) {
  DDX_Field(dx, IDC_FIELD1, kPreferenceFields.save, m_saveMinutes);
  DDX_Field(dx, IDC_FIELD2, kPreferenceFields.display, m_displaySeconds);
}

CPriorityDlg::CPriorityDlg() : Dialog(PriorityTemplate()) {}

void CPriorityDlg::DoDataExchange(fw::DataExchange& dx) {
  DDX_Field(dx, IDC_PRIORITY, kPriorityFields.priority, m_priority);
}

CWorkersDlg::CWorkersDlg() : Dialog(WorkersTemplate()) {}

void CWorkersDlg::DoDataExchange(fw::DataExchange& dx) {
  DDX_Field(dx, IDC_FIELD1, kWorkersFields.workers, m_workers);
}

CRangeDlg::CRangeDlg() : Dialog(RangeTemplate()) {}

void CRangeDlg::DoDataExchange(fw::DataExchange& dx) {
  const NewFields& f = kNewFields;
  DDX_Field(dx, IDC_FIELD1, f.power, m_power);
  DDX_Field(dx, IDC_FIELD2, f.start, m_start);
  DDX_Field(dx, IDC_FIELD3, f.end, m_end);
  fw::DDX_Radio(dx, IDC_BEST, m_mode);
  DDX_Field(dx, IDC_FIELD4, f.left, m_left);
  DDX_Field(dx, IDC_FIELD5, f.right, m_right);
  DDX_Field(dx, IDC_FIELD6, f.duration, m_duration);
  DDV_Rules(dx,
            SumRangeValues{m_power, m_start, m_end, m_left, m_right,
                           static_cast<uint32_t>(m_mode), m_duration},
            SumRangeRules,
            {{&f.power, IDC_FIELD1},
             {&f.start, IDC_FIELD2},
             {&f.end, IDC_FIELD3},
             {&f.left, IDC_FIELD4},
             {&f.right, IDC_FIELD5}});
}

CSumRangeDlg::CSumRangeDlg() : Dialog(SumRangeTemplate()) {}

void CSumRangeDlg::DoDataExchange(fw::DataExchange& dx) {
  const ComputeFields& f = kComputeFields;
  DDX_Field(dx, IDC_FIELD1, f.power, m_power);
  DDX_Field(dx, IDC_FIELD2, f.start, m_start);
  DDX_Field(dx, IDC_FIELD3, f.end, m_end);
  DDX_Field(dx, IDC_FIELD4, f.terms, m_terms);
  DDX_Field(dx, IDC_FIELD5, f.memory, m_megabytes);
  DDV_Rules(dx, AddRangeValues{m_power, m_start, m_end, m_terms, m_megabytes}, AddRangeRules,
            {{&f.power, IDC_FIELD1},
             {&f.start, IDC_FIELD2},
             {&f.end, IDC_FIELD3},
             {&f.terms, IDC_FIELD4}});
}

CSumDlg::CSumDlg() : Dialog(SumTemplate()) {}

void CSumDlg::DoDataExchange(fw::DataExchange& dx) {
  DDX_Field(dx, IDC_FIELD1, kSumFields.power, m_power);
  DDX_Field(dx, IDC_FIELD2, kSumFields.terms, m_terms);
  DDX_Field(dx, IDC_FIELD3, kSumFields.number, m_sum);
  DDV_Rules(dx, SumQuestionValues{m_power, m_terms, m_sum}, SumQuestionRules,
            {{&kSumFields.number, IDC_FIELD3}});
}

CPentaDlg::CPentaDlg() : Dialog(PentaTemplate()) {}

void CPentaDlg::DoDataExchange(fw::DataExchange& dx) {
  const PentaFields& f = kPentaFields;
  DDX_Field(dx, IDC_FIELD1, f.power, m_power);
  DDX_Field(dx, IDC_FIELD2, f.start, m_start);
  DDX_Field(dx, IDC_FIELD3, f.end, m_end);
  DDX_Field(dx, IDC_FIELD4, f.type, m_type);
  DDV_Rules(dx, PentaRangeValues{m_power, m_start, m_end, m_type}, PentaRangeRules,
            {{&f.power, IDC_FIELD1}, {&f.start, IDC_FIELD2}, {&f.end, IDC_FIELD3}});
}

CQueueDlg::CQueueDlg() : Dialog(QueueTemplate()) {}

void CQueueDlg::DoDataExchange(fw::DataExchange& dx) {
  DDX_Field(dx, IDC_FIELD1, kQueueFields.line, m_line);
  fw::DDX_Radio(dx, IDC_REMOVE, m_action);
  DDX_Field(dx, IDC_FIELD2, kQueueFields.place, m_place);
}

}  // namespace aequa::ui
