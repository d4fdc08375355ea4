#pragma once
// The nine dialogs of the Aequa window, with their members and data exchange. The command
// handlers (CAequoApp) fill the members, run the dialog and act on OK.
#include <cstdint>
#include <string>

#include "shell/framework/dialog.h"

namespace aequa::ui {

class CAboutDlg : public fw::Dialog {
 public:
  CAboutDlg();
};

class CUserInfoDlg : public fw::Dialog {
 public:
  CUserInfoDlg();
  void DoDataExchange(fw::DataExchange& dx) override;
  std::string m_name;
  std::string m_email;
};

class CPreferencesDlg : public fw::Dialog {
 public:
  CPreferencesDlg();
  void DoDataExchange(fw::DataExchange& dx) override;
  uint32_t m_saveMinutes = 0;
  uint32_t m_displaySeconds = 0;
};

class CPriorityDlg : public fw::Dialog {
 public:
  CPriorityDlg();
  void DoDataExchange(fw::DataExchange& dx) override;
  uint32_t m_priority = 0;
};

// How many searches run at once.
class CWorkersDlg : public fw::Dialog {
 public:
  CWorkersDlg();
  void DoDataExchange(fw::DataExchange& dx) override;
  uint32_t m_workers = 0;
};

// "New": an equal-sums range.
class CRangeDlg : public fw::Dialog {
 public:
  CRangeDlg();
  void DoDataExchange(fw::DataExchange& dx) override;
  uint32_t m_power = 0;
  uint32_t m_start = 0;
  uint32_t m_end = 0;
  int32_t m_mode = 0;  // Best, Same, Exact
  uint32_t m_left = 0;
  uint32_t m_right = 0;
  uint32_t m_duration = 0;
};

// "Compute": a sum-collision range.
class CSumRangeDlg : public fw::Dialog {
 public:
  CSumRangeDlg();
  void DoDataExchange(fw::DataExchange& dx) override;
  int32_t m_power = 0;
  int32_t m_start = 0;
  int32_t m_end = 0;
  int32_t m_terms = 0;
  int32_t m_megabytes = 1;
};

// "Compute Sum": the representations of one number.
class CSumDlg : public fw::Dialog {
 public:
  CSumDlg();
  void DoDataExchange(fw::DataExchange& dx) override;
  int32_t m_power = 2;
  int32_t m_terms = 2;
  std::string m_sum;
};

class CPentaDlg : public fw::Dialog {
 public:
  CPentaDlg();
  void DoDataExchange(fw::DataExchange& dx) override;
  int32_t m_power = 0;
  int32_t m_start = 0;
  int32_t m_end = 0;
  int32_t m_type = 0;
};

// "Queue": a line removed or moved, by its number in the Status list.
class CQueueDlg : public fw::Dialog {
 public:
  CQueueDlg();
  void DoDataExchange(fw::DataExchange& dx) override;
  uint32_t m_line = 1;
  int32_t m_action = 0;  // Remove, Move
  uint32_t m_place = 1;
};

}  // namespace aequa::ui
