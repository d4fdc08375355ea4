#pragma once
// Runs a framework dialog on its dialog resource (the template's id): the controls are
// loaded from the dialog's texts, and OK hands the typed texts back for data exchange. A
// refused field has already shown the framework's prompt; its control gets the focus with
// its text selected and the dialog stays open.
#include <functional>

#include "shell/framework/dialog.h"
#include "shell/windows/win32.h"

namespace aequa::win {

// `opened` and `closed` tell the caller which window is the dialog while it runs (message
// boxes are owned by it). Returns IDOK or IDCANCEL.
int RunDialogResource(HINSTANCE instance, HWND owner, fw::Dialog& dialog,
                      std::function<void(HWND)> opened, std::function<void(HWND)> closed);

// The texts of the dialog's edit controls and the choices of its radio groups, from the
// window to the dialog, and back.
void LoadControls(HWND window, const fw::Dialog& dialog);
void SaveControls(HWND window, fw::Dialog& dialog);

}  // namespace aequa::win
