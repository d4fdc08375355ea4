#include "shell/windows/dialog_host.h"

#include <vector>

#include "core/coordinator.h"
#include "shell/framework/standard_ids.h"
#include "shell/resource.h"

namespace aequa::win {
namespace {

using Kind = fw::DialogControl::Kind;

// The about box's contact line names the coordinator's address, a build setting.
constexpr int kContactLine = 1001;

struct Running {
  fw::Dialog* dialog;
  std::function<void(HWND)> opened;
  std::function<void(HWND)> closed;
};

bool IsEdit(const fw::DialogControl& c) { return c.kind == Kind::Edit || c.kind == Kind::NumberEdit; }

// The first button of each radio group of the template.
std::vector<int> RadioGroupStarts(const fw::DialogTemplate& t) {
  std::vector<int> starts;
  bool previousWasRadio = false;
  for (const fw::DialogControl& c : t.controls) {
    const bool radio = c.kind == Kind::RadioButton;
    if (radio && !previousWasRadio) starts.push_back(c.id);
    previousWasRadio = radio;
  }
  return starts;
}

void FocusRefusedField(HWND window, int id) {
  HWND control = GetDlgItem(window, id);
  if (control == nullptr) return;
  SendMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
  SendMessageA(control, EM_SETSEL, 0, -1);
}

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* running = reinterpret_cast<Running*>(GetWindowLongPtrA(window, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      running = reinterpret_cast<Running*>(lParam);
      SetWindowLongPtrA(window, DWLP_USER, lParam);
      if (running->opened) running->opened(window);
      LoadControls(window, *running->dialog);
      if (running->dialog->Template().id == ui::IDD_ABOUTBOX) {
        SetDlgItemTextA(window, kContactLine, (std::string("Contact: ") + CoordinatorEmail()).c_str());
      }
      return TRUE;
    }
    case WM_COMMAND: {
      if (running == nullptr) return FALSE;
      fw::Dialog& dialog = *running->dialog;
      const int id = LOWORD(wParam);
      if (id == fw::IDOK) {
        SaveControls(window, dialog);
        dialog.OnOK();
        if (dialog.ended()) {
          EndDialog(window, dialog.result());
        } else {
          FocusRefusedField(window, dialog.focusControl());
        }
        return TRUE;
      }
      if (id == fw::IDCANCEL) {
        dialog.OnCancel();
        EndDialog(window, fw::IDCANCEL);
        return TRUE;
      }
      return FALSE;
    }
    case WM_DESTROY:
      if (running != nullptr && running->closed) running->closed(window);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void LoadControls(HWND window, const fw::Dialog& dialog) {
  const fw::DialogTemplate& t = dialog.Template();
  for (const fw::DialogControl& c : t.controls) {
    if (IsEdit(c)) SetDlgItemTextA(window, c.id, dialog.ItemText(c.id).c_str());
  }
  for (int first : RadioGroupStarts(t)) {
    std::vector<int> ids = dialog.RadioGroup(first);
    const int index = dialog.RadioIndex(first);
    for (size_t i = 0; i < ids.size(); ++i) {
      CheckDlgButton(window, ids[i], static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED);
    }
  }
}

void SaveControls(HWND window, fw::Dialog& dialog) {
  const fw::DialogTemplate& t = dialog.Template();
  for (const fw::DialogControl& c : t.controls) {
    if (!IsEdit(c)) continue;
    HWND control = GetDlgItem(window, c.id);
    const int length = control != nullptr ? GetWindowTextLengthA(control) : 0;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetDlgItemTextA(window, c.id, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    dialog.SetItemText(c.id, text);
  }
  for (int first : RadioGroupStarts(t)) {
    std::vector<int> ids = dialog.RadioGroup(first);
    int index = -1;
    for (size_t i = 0; i < ids.size(); ++i) {
      if (IsDlgButtonChecked(window, ids[i]) == BST_CHECKED) index = static_cast<int>(i);
    }
    dialog.SetRadioIndex(first, index);
  }
}

int RunDialogResource(HINSTANCE instance, HWND owner, fw::Dialog& dialog,
                      std::function<void(HWND)> opened, std::function<void(HWND)> closed) {
  Running running{&dialog, std::move(opened), std::move(closed)};
  const INT_PTR result =
      DialogBoxParamA(instance, MAKEINTRESOURCEA(dialog.Template().id), owner, &DialogProc,
                      reinterpret_cast<LPARAM>(&running));
  if (result == fw::IDOK) return fw::IDOK;
  return fw::IDCANCEL;
}

}  // namespace aequa::win
