#pragma once
// The window as a terminal shows it: title line, menu bar with its open menu, the view's
// log, a key line, and the modal dialogs and message boxes on top. Turns keys into menu
// navigation, commands and field edits, and paints everything into a grid. No input or
// output of its own: the backend feeds it keys and sends the grid to the terminal.
#include <memory>
#include <string>
#include <vector>

#include "shell/framework/application.h"
#include "shell/framework/dialog.h"
#include "shell/framework/keys.h"
#include "shell/framework/menu.h"
#include "shell/terminal/grid.h"

namespace aequa::term {

class Screen {
 public:
  explicit Screen(fw::Application& app) : app_(app) {}

  void SetSize(int rows, int cols);
  int rows() const { return rows_; }
  int cols() const { return cols_; }

  void HandleKey(const fw::Key& key);
  Grid Render();
  // The terminal's title: the tray tip while the icon exists, else the window's title.
  std::string TerminalTitle() const;

  // Modal layers, the newest on top.
  void PushDialog(fw::Dialog& dialog);
  void PushMessage(const std::string& text, unsigned type);
  // The top layer has been closed (a message answered, a dialog ended) and waits for its
  // loop to take it off.
  bool TopModalClosed() const;
  void PopModal();
  size_t ModalDepth() const { return modals_.size(); }

  bool MenuOpen() const { return openPopup_ >= 0; }
  // The items of popup `index` as this terminal shows them (with the minimise command).
  std::vector<fw::MenuItem> PopupItems(int index) const;

 private:
  struct Modal {
    fw::Dialog* dialog = nullptr;
    std::string message;
    unsigned type = 0;
    bool done = false;
    int focus = 0;             // index into the focusable controls
    bool replaceOnType = true; // the focused field's text is selected: typing replaces it
    int scroll = 0;            // a message longer than the screen: its first line shown
  };

  void HandleMainKey(const fw::Key& key);
  void HandleMenuKey(const fw::Key& key);
  void HandleDialogKey(Modal& modal, const fw::Key& key);
  void Invoke(uint32_t id);
  void OpenPopup(int index);
  void MoveSelection(int step);
  std::vector<int> Focusable(const fw::Dialog& dialog) const;
  void ApplyFocusRequest(Modal& modal);

  void RenderMain(Grid& grid);
  void RenderMenu(Grid& grid);
  void RenderDialog(Grid& grid, Modal& modal);
  void RenderMessage(Grid& grid, const Modal& modal);
  // A message as the box shows it: wrapped lines, and how many fit at once.
  std::vector<std::string> MessageLines(const Modal& modal) const;
  int MessageRows() const;
  void ScrollMessage(Modal& modal, const fw::Key& key);

  fw::Application& app_;
  int rows_ = 24;
  int cols_ = 80;
  int openPopup_ = -1;
  int selected_ = 0;
  std::vector<std::unique_ptr<Modal>> modals_;
};

}  // namespace aequa::term
