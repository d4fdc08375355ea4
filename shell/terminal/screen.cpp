#include "shell/terminal/screen.h"

#include <algorithm>
#include <cctype>

#include "shell/framework/document_view.h"
#include "shell/framework/frame_window.h"
#include "shell/framework/standard_ids.h"
#include "shell/terminal/grid_canvas.h"
#include "shell/terminal/terminal_keys.h"

namespace aequa::term {
namespace {

using Kind = fw::DialogControl::Kind;

bool IsEdit(Kind k) { return k == Kind::Edit || k == Kind::NumberEdit; }
bool IsFocusable(Kind k) { return IsEdit(k) || k == Kind::RadioButton || k == Kind::Button; }

int ControlWidth(const fw::DialogControl& c) {
  switch (c.kind) {
    case Kind::RadioButton: return static_cast<int>(c.text.size()) + 4;
    case Kind::Edit:
    case Kind::NumberEdit:
    case Kind::Button:
    case Kind::GroupBox: return c.width;
    default: return c.width > 0 ? c.width : static_cast<int>(c.text.size());
  }
}

// Splits a message into lines of at most `width` characters at blanks.
std::vector<std::string> Wrap(const std::string& text, size_t width) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t nl = text.find('\n', start);
    std::string para = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
    while (para.size() > width) {
      size_t cut = para.rfind(' ', width);
      if (cut == std::string::npos || cut == 0) cut = width;
      lines.push_back(para.substr(0, cut));
      para = para.substr(cut);
      while (!para.empty() && para[0] == ' ') para.erase(0, 1);
    }
    lines.push_back(para);
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

}  // namespace

void Screen::SetSize(int rows, int cols) {
  rows_ = std::clamp(rows, 1, 500);
  cols_ = std::clamp(cols, 1, 500);
}

std::vector<fw::MenuItem> Screen::PopupItems(int index) const {
  const fw::FrameWindow* frame = app_.MainWindow();
  if (frame == nullptr || index < 0 || index >= static_cast<int>(frame->Menu().size())) return {};
  std::vector<fw::MenuItem> items = frame->Menu()[static_cast<size_t>(index)].items;
  if (index == 0) {
    // Minimising is the title bar's business on a desktop; here it is a menu item, put
    // before Exit.
    auto exit = std::find_if(items.begin(), items.end(),
                             [](const fw::MenuItem& i) { return i.id == fw::ID_APP_EXIT; });
    items.insert(exit, fw::MenuItem{kMinimiseCommand, kMinimiseMenuText});
  }
  return items;
}

std::string Screen::TerminalTitle() const {
  const fw::FrameWindow* frame = app_.MainWindow();
  if (frame == nullptr) return "Aequa";
  fw::TrayState tray = frame->Tray();
  return tray.present ? tray.tip : frame->GetWindowText();
}

// ----- modal layers -----

void Screen::PushDialog(fw::Dialog& dialog) {
  auto modal = std::make_unique<Modal>();
  modal->dialog = &dialog;
  modals_.push_back(std::move(modal));
  openPopup_ = -1;
}

void Screen::PushMessage(const std::string& text, unsigned type) {
  auto modal = std::make_unique<Modal>();
  modal->message = text;
  modal->type = type;
  modals_.push_back(std::move(modal));
  openPopup_ = -1;
}

bool Screen::TopModalClosed() const {
  if (modals_.empty()) return false;
  const Modal& top = *modals_.back();
  return top.dialog != nullptr ? top.dialog->ended() : top.done;
}

void Screen::PopModal() {
  if (!modals_.empty()) modals_.pop_back();
}

std::vector<int> Screen::Focusable(const fw::Dialog& dialog) const {
  std::vector<int> indices;
  const auto& controls = dialog.Template().controls;
  for (size_t i = 0; i < controls.size(); ++i) {
    if (IsFocusable(controls[i].kind)) indices.push_back(static_cast<int>(i));
  }
  return indices;
}

void Screen::ApplyFocusRequest(Modal& modal) {
  const int wanted = modal.dialog->focusControl();
  if (wanted == 0) return;
  const auto& controls = modal.dialog->Template().controls;
  std::vector<int> focusable = Focusable(*modal.dialog);
  for (size_t f = 0; f < focusable.size(); ++f) {
    if (controls[static_cast<size_t>(focusable[f])].id == wanted) {
      modal.focus = static_cast<int>(f);
      modal.replaceOnType = true;
    }
  }
  modal.dialog->SetFocusControl(0);
}

// ----- keys -----

void Screen::HandleKey(const fw::Key& key) {
  if (!modals_.empty()) {
    Modal& top = *modals_.back();
    if (top.dialog == nullptr) {
      if (key.code == fw::kKeyEnter || key.code == fw::kKeyEscape || key.code == ' ') {
        top.done = true;
      } else {
        ScrollMessage(top, key);
      }
      return;
    }
    HandleDialogKey(top, key);
    return;
  }
  fw::FrameWindow* frame = app_.MainWindow();
  if (frame == nullptr || frame->destroyed()) return;
  if (frame->IsIconic()) {
    // The minimised window is a bar; any key brings it back.
    frame->ShowWindow(fw::ShowCommand::Restore);
    return;
  }
  if (openPopup_ >= 0) {
    HandleMenuKey(key);
  } else {
    HandleMainKey(key);
  }
}

void Screen::Invoke(uint32_t id) {
  openPopup_ = -1;
  if (id == kMinimiseCommand) {
    if (fw::FrameWindow* frame = app_.MainWindow()) frame->ShowWindow(fw::ShowCommand::Minimise);
    return;
  }
  app_.RouteCommand(id);
}

void Screen::OpenPopup(int index) {
  const fw::FrameWindow* frame = app_.MainWindow();
  const int count = frame == nullptr ? 0 : static_cast<int>(frame->Menu().size());
  if (count == 0) return;
  openPopup_ = (index % count + count) % count;
  selected_ = -1;
  MoveSelection(1);
}

void Screen::MoveSelection(int step) {
  std::vector<fw::MenuItem> items = PopupItems(openPopup_);
  const int n = static_cast<int>(items.size());
  if (n == 0) return;
  int s = selected_;
  for (int tries = 0; tries < n; ++tries) {
    s = ((s + step) % n + n) % n;
    if (items[static_cast<size_t>(s)].id != 0) {
      selected_ = s;
      return;
    }
  }
}

void Screen::HandleMainKey(const fw::Key& key) {
  fw::FrameWindow* frame = app_.MainWindow();
  if (key == fw::FunctionKey(10)) return OpenPopup(0);
  if (key == fw::Ctrl('Z') || key == fw::FunctionKey(9)) return Invoke(kMinimiseCommand);
  if (key.modifiers == fw::kModAlt && key.code < 128 && std::isalpha(key.code)) {
    const char letter = static_cast<char>(std::toupper(key.code));
    const auto& menu = frame->Menu();
    for (size_t i = 0; i < menu.size(); ++i) {
      fw::MenuText t = fw::ParseMenuText(menu[i].text);
      const char m = t.mnemonic != 0 ? t.mnemonic : static_cast<char>(std::toupper(t.label[0]));
      if (m == letter) return OpenPopup(static_cast<int>(i));
    }
    return;
  }
  if (auto id = FindAccelerator(frame->Accelerators(), key)) {
    if (app_.QueryCommand(*id).enabled) app_.RouteCommand(*id);
  }
}

void Screen::HandleMenuKey(const fw::Key& key) {
  std::vector<fw::MenuItem> items = PopupItems(openPopup_);
  switch (key.code) {
    case fw::kKeyEscape:
      openPopup_ = -1;
      return;
    case fw::kKeyLeft:
      return OpenPopup(openPopup_ - 1);
    case fw::kKeyRight:
      return OpenPopup(openPopup_ + 1);
    case fw::kKeyUp:
      return MoveSelection(-1);
    case fw::kKeyDown:
      return MoveSelection(1);
    case fw::kKeyEnter:
      if (selected_ >= 0 && selected_ < static_cast<int>(items.size())) {
        const uint32_t id = items[static_cast<size_t>(selected_)].id;
        if (id == kMinimiseCommand || app_.QueryCommand(id).enabled) Invoke(id);
      }
      return;
    default:
      break;
  }
  if (key == fw::FunctionKey(10)) {
    openPopup_ = -1;
    return;
  }
  if (key.modifiers == fw::kModAlt) {
    openPopup_ = -1;
    return HandleMainKey(key);
  }
  if (key.modifiers == fw::kModNone && key.code < 128 && std::isalnum(key.code)) {
    const char letter = static_cast<char>(std::toupper(key.code));
    for (const fw::MenuItem& item : items) {
      if (item.id != 0 && fw::ParseMenuText(item.text).mnemonic == letter) {
        if (item.id == kMinimiseCommand || app_.QueryCommand(item.id).enabled) Invoke(item.id);
        return;
      }
    }
  }
}

void Screen::HandleDialogKey(Modal& modal, const fw::Key& key) {
  fw::Dialog& dialog = *modal.dialog;
  ApplyFocusRequest(modal);
  const auto& controls = dialog.Template().controls;
  std::vector<int> focusable = Focusable(dialog);
  if (focusable.empty()) {
    if (key.code == fw::kKeyEnter) dialog.OnOK();
    if (key.code == fw::kKeyEscape) dialog.OnCancel();
    return;
  }
  modal.focus = std::clamp(modal.focus, 0, static_cast<int>(focusable.size()) - 1);
  const fw::DialogControl& focused = controls[static_cast<size_t>(focusable[static_cast<size_t>(modal.focus)])];
  const int n = static_cast<int>(focusable.size());
  auto move = [&](int step) {
    modal.focus = ((modal.focus + step) % n + n) % n;
    modal.replaceOnType = true;
  };
  if (key.code == fw::kKeyTab && (key.modifiers & fw::kModShift)) return move(-1);
  if (key.code == fw::kKeyTab || key.code == fw::kKeyDown) return move(1);
  if (key.code == fw::kKeyUp) return move(-1);
  if (key.code == fw::kKeyEscape) return dialog.OnCancel();
  if (key.code == fw::kKeyEnter) {
    if (focused.kind == Kind::Button && focused.id == fw::IDCANCEL) return dialog.OnCancel();
    dialog.OnOK();
    if (!dialog.ended()) ApplyFocusRequest(modal);
    return;
  }
  if (focused.kind == Kind::Button) {
    if (key.code == ' ') {
      if (focused.id == fw::IDCANCEL) return dialog.OnCancel();
      dialog.OnOK();
      if (!dialog.ended()) ApplyFocusRequest(modal);
    }
    return;
  }
  if (focused.kind == Kind::RadioButton) {
    // The group is named by its first button.
    int first = focused.id;
    for (const fw::DialogControl& c : controls) {
      if (c.kind == Kind::RadioButton && !dialog.RadioGroup(c.id).empty()) {
        std::vector<int> group = dialog.RadioGroup(c.id);
        if (std::find(group.begin(), group.end(), focused.id) != group.end()) {
          first = c.id;
          break;
        }
      }
    }
    std::vector<int> group = dialog.RadioGroup(first);
    const int index = static_cast<int>(std::find(group.begin(), group.end(), focused.id) - group.begin());
    if (key.code == ' ') dialog.SetRadioIndex(first, index);
    if (key.code == fw::kKeyLeft || key.code == fw::kKeyRight) {
      const int step = key.code == fw::kKeyLeft ? -1 : 1;
      const int g = static_cast<int>(group.size());
      const int next = ((index + step) % g + g) % g;
      dialog.SetRadioIndex(first, next);
      modal.focus += next - index;
    }
    return;
  }
  // An edit field.
  std::string text = dialog.ItemText(focused.id);
  if (key.code == fw::kKeyBackspace || key == fw::Ctrl('H') || key.code == fw::kKeyDelete) {
    if (modal.replaceOnType) {
      text.clear();
    } else if (!text.empty()) {
      text.pop_back();
    }
  } else if (key.modifiers == fw::kModNone && key.code >= 32 && key.code < 127) {
    if (focused.kind == Kind::NumberEdit && !std::isdigit(key.code)) return;
    if (modal.replaceOnType) text.clear();
    text += static_cast<char>(key.code);
  } else if (key.code == fw::kKeyLeft || key.code == fw::kKeyRight || key.code == fw::kKeyEnd) {
    modal.replaceOnType = false;
    return;
  } else {
    return;
  }
  modal.replaceOnType = false;
  dialog.SetItemText(focused.id, text);
}

// ----- painting -----

Grid Screen::Render() {
  Grid grid(rows_, cols_);
  const fw::FrameWindow* frame = app_.MainWindow();
  if (frame == nullptr) return grid;
  if (frame->IsIconic() && modals_.empty()) {
    grid.Fill(0, 0, cols_, ' ', kAttrReverse);
    grid.Put(0, 1, frame->GetWindowText(), kAttrReverse);
    grid.Put(rows_ / 2, std::max(0, (cols_ - 38) / 2), "Minimised: press any key to restore.");
    return grid;
  }
  RenderMain(grid);
  RenderMenu(grid);
  for (auto& m : modals_) {
    if (m->dialog != nullptr) {
      RenderDialog(grid, *m);
    } else {
      RenderMessage(grid, *m);
    }
  }
  return grid;
}

void Screen::RenderMain(Grid& grid) {
  fw::FrameWindow* frame = app_.MainWindow();
  grid.Fill(0, 0, cols_, ' ', kAttrReverse);
  grid.Put(0, 1, frame->GetWindowText(), kAttrReverse | kAttrBold);
  // Menu bar.
  int col = 1;
  const auto& menu = frame->Menu();
  for (size_t i = 0; i < menu.size(); ++i) {
    fw::MenuText t = fw::ParseMenuText(menu[i].text);
    const uint8_t attr = static_cast<int>(i) == openPopup_ ? kAttrReverse : kAttrNormal;
    grid.Put(1, col, " " + t.label + " ", attr);
    if (t.mnemonicIndex >= 0) grid.SetAttr(1, col + 1 + t.mnemonicIndex, 1, attr | kAttrUnderline);
    col += static_cast<int>(t.label.size()) + 3;
  }
  // The log, in the area between the menu bar and the key line.
  if (rows_ > 3 && frame->GetActiveView() != nullptr) {
    GridCanvas canvas(grid, 2, 0, rows_ - 3, cols_);
    frame->GetActiveView()->OnDraw(canvas);
  }
  // Key line.
  if (rows_ > 2) {
    const int last = rows_ - 1;
    grid.Fill(last, 0, cols_, ' ', kAttrReverse);
    grid.Put(last, 1, "F10 Menu  Ctrl+Z Minimise  Ctrl+Q Exit", kAttrReverse);
    fw::TrayState tray = frame->Tray();
    if (tray.present) {
      std::string text = "[" + tray.tip + "]";
      grid.Put(last, std::max(42, cols_ - 1 - static_cast<int>(text.size())), text, kAttrReverse);
    }
  }
}

void Screen::RenderMenu(Grid& grid) {
  if (openPopup_ < 0) return;
  fw::FrameWindow* frame = app_.MainWindow();
  int col = 1;
  for (int i = 0; i < openPopup_; ++i) {
    col += static_cast<int>(fw::ParseMenuText(frame->Menu()[static_cast<size_t>(i)].text).label.size()) + 3;
  }
  std::vector<fw::MenuItem> items = PopupItems(openPopup_);
  struct Line {
    fw::MenuText text;
    fw::CommandUI ui;
  };
  std::vector<Line> lines;
  size_t labelWidth = 0, keyWidth = 0;
  for (const fw::MenuItem& item : items) {
    Line line;
    line.text = fw::ParseMenuText(TerminalMenuText(item, frame->Accelerators()));
    if (item.id == kMinimiseCommand) {
      line.ui.enabled = true;
    } else if (item.id != 0) {
      line.ui = app_.QueryCommand(item.id);
      if (line.ui.text) line.text = fw::ParseMenuText(*line.ui.text + (line.text.accelerator.empty() ? "" : "\t" + line.text.accelerator));
    }
    labelWidth = std::max(labelWidth, line.text.label.size());
    keyWidth = std::max(keyWidth, line.text.accelerator.size());
    lines.push_back(line);
  }
  const int width = static_cast<int>(labelWidth + keyWidth) + 8;
  const int height = static_cast<int>(lines.size()) + 2;
  col = std::min(col, std::max(0, cols_ - width));
  grid.Box(2, col, height, width, "");
  for (size_t i = 0; i < lines.size(); ++i) {
    const int row = 3 + static_cast<int>(i);
    if (items[i].id == 0) {
      grid.Fill(row, col + 1, width - 2, '-');
      continue;
    }
    const Line& l = lines[i];
    uint8_t attr = l.ui.enabled ? kAttrNormal : kAttrDim;
    if (static_cast<int>(i) == selected_) attr |= kAttrReverse;
    std::string text = std::string(l.ui.checked ? "* " : "  ") + l.text.label;
    text.resize(labelWidth + 4, ' ');
    text += l.text.accelerator;
    text.resize(static_cast<size_t>(width - 2), ' ');
    grid.Put(row, col + 1, text, attr);
    if (l.text.mnemonicIndex >= 0 && l.ui.enabled) {
      grid.SetAttr(row, col + 3 + l.text.mnemonicIndex, 1, attr | kAttrUnderline);
    }
    if (!l.ui.enabled) grid.Put(row, col + 1, "-", attr);  // greyed, also without colours
  }
}

void Screen::RenderDialog(Grid& grid, Modal& modal) {
  fw::Dialog& dialog = *modal.dialog;
  ApplyFocusRequest(modal);
  const auto& controls = dialog.Template().controls;
  int height = 0, width = static_cast<int>(dialog.Template().title.size()) + 6;
  for (const fw::DialogControl& c : controls) {
    height = std::max(height, c.row + c.height);
    width = std::max(width, c.col + ControlWidth(c) + (IsEdit(c.kind) ? 2 : 0));
  }
  height += 4;
  width += 4;
  const int top = std::max(0, (rows_ - height) / 2);
  const int left = std::max(0, (cols_ - width) / 2);
  grid.Box(top, left, height, width, dialog.Template().title);
  std::vector<int> focusable = Focusable(dialog);
  const int focusIndex = focusable.empty() ? -1 : focusable[static_cast<size_t>(std::clamp(modal.focus, 0, static_cast<int>(focusable.size()) - 1))];
  grid.cursorRow = grid.cursorCol = -1;
  int firstRadio = 0;
  for (size_t i = 0; i < controls.size(); ++i) {
    const fw::DialogControl& c = controls[i];
    const int row = top + 2 + c.row;
    const int col = left + 2 + c.col;
    const bool focused = static_cast<int>(i) == focusIndex;
    switch (c.kind) {
      case Kind::Label:
        if (c.width > 0 && c.height > 1) {
          std::vector<std::string> lines = Wrap(c.text, static_cast<size_t>(c.width));
          for (int l = 0; l < c.height && l < static_cast<int>(lines.size()); ++l) {
            grid.Put(row + l, col, lines[static_cast<size_t>(l)]);
          }
          break;
        }
        grid.Put(row, col, c.text);
        break;
      case Kind::Icon:
        grid.Put(row, col, c.text);
        break;
      case Kind::GroupBox:
        grid.Box(row, col, c.height, c.width, "");
        grid.Put(row, col + 1, c.text);
        break;
      case Kind::Edit:
      case Kind::NumberEdit: {
        std::string text = dialog.ItemText(c.id);
        const int w = c.width;
        std::string shown = static_cast<int>(text.size()) > w ? text.substr(text.size() - static_cast<size_t>(w)) : text;
        grid.Put(row, col, "[");
        grid.Fill(row, col + 1, w, '_', kAttrUnderline);
        grid.Put(row, col + 1, shown, focused && modal.replaceOnType ? kAttrReverse : kAttrUnderline);
        grid.Put(row, col + 1 + w, "]");
        if (focused) {
          grid.cursorRow = row;
          grid.cursorCol = col + 1 + std::min(w - 1, static_cast<int>(shown.size()));
        }
        break;
      }
      case Kind::RadioButton: {
        if (i == 0 || controls[i - 1].kind != Kind::RadioButton) firstRadio = c.id;
        std::vector<int> group = dialog.RadioGroup(firstRadio);
        const int index = static_cast<int>(std::find(group.begin(), group.end(), c.id) - group.begin());
        const bool on = dialog.RadioIndex(firstRadio) == index;
        grid.Put(row, col, std::string(on ? "(*) " : "( ) ") + c.text, focused ? kAttrReverse : kAttrNormal);
        if (focused) {
          grid.cursorRow = row;
          grid.cursorCol = col + 1;
        }
        break;
      }
      case Kind::Button: {
        std::string text = (c.id == fw::IDOK ? "< " : "[ ") + c.text + (c.id == fw::IDOK ? " >" : " ]");
        const int pad = std::max(0, (c.width - static_cast<int>(text.size())) / 2);
        grid.Put(row, col + pad, text, focused ? kAttrReverse : kAttrBold);
        if (focused) {
          grid.cursorRow = row;
          grid.cursorCol = col + pad + 2;
        }
        break;
      }
    }
  }
}

std::vector<std::string> Screen::MessageLines(const Modal& modal) const {
  const size_t wrapWidth = static_cast<size_t>(std::clamp(cols_ - 10, 20, 78));
  std::string prefix = (modal.type & 0xF0) == fw::MB_ICONINFORMATION ? "(i) "
                       : (modal.type & 0xF0) == fw::MB_ICONEXCLAMATION ? "(!) " : "";
  return Wrap(prefix + modal.message, wrapWidth);
}

int Screen::MessageRows() const { return std::max(1, rows_ - 6); }

// The arrows move a long message by a line, Page Up and Page Down by a box, Home and End to
// its ends.
void Screen::ScrollMessage(Modal& modal, const fw::Key& key) {
  const int total = static_cast<int>(MessageLines(modal).size());
  const int rows = MessageRows();
  if (total <= rows) return;
  const int shown = rows - 1;  // the last row tells how to scroll
  int scroll = modal.scroll;
  switch (key.code) {
    case fw::kKeyUp: scroll -= 1; break;
    case fw::kKeyDown: scroll += 1; break;
    case fw::kKeyPageUp: scroll -= shown; break;
    case fw::kKeyPageDown: scroll += shown; break;
    case fw::kKeyHome: scroll = 0; break;
    case fw::kKeyEnd: scroll = total; break;
    default: return;
  }
  modal.scroll = std::clamp(scroll, 0, std::max(0, total - shown));
}

void Screen::RenderMessage(Grid& grid, const Modal& modal) {
  std::vector<std::string> lines = MessageLines(modal);
  const int maxLines = MessageRows();
  if (static_cast<int>(lines.size()) > maxLines) {
    // A long message shows a box of it from `scroll` on, and where it is.
    const int total = static_cast<int>(lines.size());
    const int shown = maxLines - 1;
    const int first = std::clamp(modal.scroll, 0, std::max(0, total - shown));
    const int last = std::min(total, first + shown);
    std::vector<std::string> part(lines.begin() + first, lines.begin() + last);
    part.push_back("-- lines " + std::to_string(first + 1) + "-" + std::to_string(last) +
                   " of " + std::to_string(total) + ", arrows and PgUp/PgDn scroll --");
    lines = std::move(part);
  }
  size_t textWidth = 10;
  for (const std::string& l : lines) textWidth = std::max(textWidth, l.size());
  const int width = static_cast<int>(textWidth) + 4;
  const int height = static_cast<int>(lines.size()) + 4;
  const int top = std::max(0, (rows_ - height) / 2);
  const int left = std::max(0, (cols_ - width) / 2);
  grid.Box(top, left, height, width, "Aequa");
  for (size_t i = 0; i < lines.size(); ++i) grid.Put(top + 1 + static_cast<int>(i), left + 2, lines[i]);
  const int buttonCol = left + (width - 6) / 2;
  grid.Put(top + height - 2, buttonCol, "< OK >", kAttrReverse);
  grid.cursorRow = top + height - 2;
  grid.cursorCol = buttonCol + 2;
}

}  // namespace aequa::term
