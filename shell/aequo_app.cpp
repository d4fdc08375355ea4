#include "shell/aequo_app.h"

#include "core/output_log.h"
#include "core/queue_edit.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/status_display.h"
#include "core/window_port.h"
#include "core/work_control.h"
#include "core/work_queue.h"
#include "shell/aequa_dialogs.h"
#include "shell/boot_registration.h"
#include "shell/dialog_actions.h"
#include "shell/framework/backend.h"
#include "shell/framework/message_box.h"
#include "shell/main_menu.h"
#include "shell/resource.h"
#include "shell/selftest_command.h"
#include "shell/selftest_hook.h"
#include "shell/sum_search_hook.h"

namespace aequa::ui {

CAequoApp::CAequoApp() {
  OnCommand(ID_TEST_NEW, [this] { OnNew(); });
  OnCommand(ID_TEST_COMPUTE, [this] { OnCompute(); });
  OnCommand(ID_TEST_COMPUTESUM, [this] { OnComputeSum(); });
  OnUpdate(ID_TEST_COMPUTESUM, [](fw::CommandUI& ui) {
    ui.Enable(QuestionEnabled() && GetSumSearchStarter() != nullptr);
  });
  OnCommand(ID_TEST_PENTA, [this] { OnPenta(); });
  OnCommand(ID_TEST_STATUS, [this] { OnStatus(); });
  OnCommand(ID_TEST_USERINFO, [this] { OnUserInfo(); });
  OnCommand(ID_TEST_CONTINUE, [] { StartWork(); });
  OnUpdate(ID_TEST_CONTINUE, [](fw::CommandUI& ui) { ui.Enable(ContinueEnabled()); });
  OnCommand(ID_TEST_STOP, [] { StopWork(); });
  OnUpdate(ID_TEST_STOP, [](fw::CommandUI& ui) { ui.Enable(StopEnabled()); });
  OnCommand(ID_OPTIONS_PREFERENCES, [this] { OnPreferences(); });
  OnCommand(ID_OPTIONS_PRIORITY, [this] { OnPriority(); });
  OnCommand(ID_OPTIONS_WORKERS, [this] { OnWorkers(); });
  OnCommand(ID_OPTIONS_INSTALL, [] { ToggleBootRegistration(); });
  OnUpdate(ID_OPTIONS_INSTALL, [](fw::CommandUI& ui) {
    ui.SetText(RegisteredAtBoot() ? "Uninstall" : "Install");
  });
  OnCommand(ID_OPTIONS_QUEUE, [this] { OnQueue(); });
  OnCommand(ID_HELP_SELFTEST, [this] { OnSelftest(); });
  OnUpdate(ID_HELP_SELFTEST, [](fw::CommandUI& ui) { ui.Enable(GetSelftestRunner() != nullptr); });
  OnCommand(ID_OPTIONS_TRAYICON, [this] { OnTrayIcon(); });
  OnUpdate(ID_OPTIONS_TRAYICON,
           [](fw::CommandUI& ui) { ui.SetCheck(Settings.TrayIcon.load() == 1); });
  OnCommand(ID_OPTIONS_NOICON, [this] { OnNoIcon(); });
  OnUpdate(ID_OPTIONS_NOICON,
           [](fw::CommandUI& ui) { ui.SetCheck(Settings.HideIcon.load() == 1); });
  OnCommand(fw::ID_APP_ABOUT, [] {
    CAboutDlg about;
    about.DoModal();
  });
}

bool CAequoApp::InitInstance() {
  SetMainWindow(&frame_, &view_, &document_);
  frame_.LoadFrame(MainMenu(), MainAccelerators(), "Aequa");
  AttachWindow(&frame_);

  const char* f = SettingsFile();
  const int32_t left = IniGetInt(f, "Left", 0), top = IniGetInt(f, "Top", 0);
  const int32_t right = IniGetInt(f, "Right", 0), bottom = IniGetInt(f, "Bottom", 0);
  if (static_cast<int32_t>(static_cast<uint32_t>(left) + static_cast<uint32_t>(top) +
                           static_cast<uint32_t>(right) + static_cast<uint32_t>(bottom)) != 0) {
    frame_.SetNormalPlacement(fw::Rect{left, top, right, bottom});
  }

  fw::ShowCommand show = fw::ShowCommand::Normal;
  if (IniLineCount(WorkFile()) > 0) {
    const bool hide = Settings.HideIcon.load() == 1 || Settings.TrayIcon.load() == 1;
    show = hide ? fw::ShowCommand::Hide : fw::ShowCommand::Minimise;
    fw::CurrentBackend().PostCommand(ID_TEST_CONTINUE);
  }
  frame_.ShowWindow(show);
  if (Settings.TrayIcon.load() == 1) SetTrayIcon(0, nullptr);
  CheckBootRegistration();
  if (fw::CurrentBackend().WindowOpensAtStart()) OnWindowOpened();
  return true;
}

void CAequoApp::OnWindowOpened() { RegisterOnFirstStart(); }

int CAequoApp::ExitInstance() {
  FinishWork();
  AttachWindow(nullptr);
  IniFreeAll();
  return 0;
}

void CAequoApp::OnNew() {
  CRangeDlg dlg;
  if (dlg.DoModal() != fw::IDOK) return;
  QueueSumRange(dlg.m_power, dlg.m_start, dlg.m_end, dlg.m_left, dlg.m_right,
                static_cast<uint32_t>(dlg.m_mode), dlg.m_duration);
}

void CAequoApp::OnCompute() {
  CSumRangeDlg dlg;
  if (dlg.DoModal() != fw::IDOK) return;
  QueueAddRange(dlg.m_power, dlg.m_start, dlg.m_end, dlg.m_terms, dlg.m_megabytes);
}

void CAequoApp::OnComputeSum() {
  CSumDlg dlg;
  if (dlg.DoModal() != fw::IDOK) return;
  // The search may have started meanwhile (a command from elsewhere); it runs in the
  // worker's place, so only when the worker is idle.
  SumSearchStarter start = GetSumSearchStarter();
  if (start != nullptr && ContinueEnabled()) {
    start(static_cast<uint32_t>(dlg.m_power), static_cast<uint32_t>(dlg.m_terms),
          dlg.m_sum.c_str());
  }
}

void CAequoApp::OnPenta() {
  CPentaDlg dlg;
  if (dlg.DoModal() != fw::IDOK) return;
  QueuePentaRange(dlg.m_power, dlg.m_start, dlg.m_end, dlg.m_type);
}

void CAequoApp::OnStatus() { fw::AfxMessageBox(BuildStatusReport(), fw::MB_ICONINFORMATION); }

void CAequoApp::OnUserInfo() {
  CUserInfoDlg dlg;
  dlg.m_name = UserName();
  dlg.m_email = UserEmailAddr();
  if (dlg.DoModal() != fw::IDOK) return;
  StoreUserInformation(dlg.m_name, dlg.m_email);
}

void CAequoApp::OnPreferences() {
  CPreferencesDlg dlg;
  dlg.m_saveMinutes = static_cast<uint32_t>(Settings.SaveFrequency.load());
  dlg.m_displaySeconds = static_cast<uint32_t>(Settings.DisplayFrequency.load());
  if (dlg.DoModal() != fw::IDOK) return;
  StorePreferences(dlg.m_saveMinutes, dlg.m_displaySeconds);
}

void CAequoApp::OnPriority() {
  CPriorityDlg dlg;
  dlg.m_priority = static_cast<uint32_t>(Settings.Priority.load());
  if (dlg.DoModal() != fw::IDOK) return;
  StorePriority(dlg.m_priority);
}

void CAequoApp::OnWorkers() {
  CWorkersDlg dlg;
  dlg.m_workers = static_cast<uint32_t>(Settings.Workers.load());
  if (dlg.DoModal() != fw::IDOK) return;
  StoreWorkers(dlg.m_workers);
}

void CAequoApp::OnTrayIcon() {
  const int32_t on = Settings.TrayIcon.load() == 0 ? 1 : 0;
  Settings.TrayIcon = on;
  if (on == 1) Settings.HideIcon = 0;
  SetTrayIcon(on == 1 ? 0 : 2, nullptr);
  IniSetInt(SettingsFile(), "HideIcon", Settings.HideIcon.load());
  IniSetInt(SettingsFile(), "TrayIcon", on);
}

void CAequoApp::OnNoIcon() {
  const int32_t on = Settings.HideIcon.load() == 0 ? 1 : 0;
  Settings.HideIcon = on;
  if (on == 1) {
    if (Settings.TrayIcon.load() == 1) SetTrayIcon(2, nullptr);
    Settings.TrayIcon = 0;
    fw::AfxMessageBox(
        "WARNING: It is recommended that you create a shortcut to Aequa.exe and define a "
        "shortcut key.  If you do not do this you will be unable to activate Aequa once you "
        "minimize it.",
        fw::MB_ICONINFORMATION);
  }
  IniSetInt(SettingsFile(), "HideIcon", on);
  IniSetInt(SettingsFile(), "TrayIcon", Settings.TrayIcon.load());
}

void CAequoApp::OnQueue() {
  CQueueDlg dlg;
  if (dlg.DoModal() != fw::IDOK) return;
  const QueueEdit outcome = dlg.m_action == 0 ? RemoveQueueLine(dlg.m_line)
                                              : MoveQueueLine(dlg.m_line, dlg.m_place);
  fw::AfxMessageBox(QueueEditText(outcome, dlg.m_line),
                    outcome == QueueEdit::Done ? fw::MB_ICONINFORMATION : fw::MB_ICONEXCLAMATION);
}

void CAequoApp::OnSelftest() {
  SelftestRunner run = GetSelftestRunner();
  if (run == nullptr) return;
  std::string report;
  const int status = run(report);
  const std::string text =
      report.empty() ? "The self-test could not be run." : SelftestSummary(report, status);
  fw::AfxMessageBox(text, status == 0 ? fw::MB_ICONINFORMATION : fw::MB_ICONEXCLAMATION);
}

}  // namespace aequa::ui
