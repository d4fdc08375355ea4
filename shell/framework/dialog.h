#pragma once
// Modal dialogs: a template of controls, the controls' current texts, data exchange with the
// members, and OK/Cancel. A backend shows the template and lets the user edit the texts; the
// dialog itself decides what OK does.
#include <map>
#include <string>
#include <vector>

#include "shell/framework/command_target.h"
#include "shell/framework/data_exchange.h"

namespace aequa::fw {

// One control of a dialog template, placed in character cells (row, column, width).
struct DialogControl {
  enum class Kind { Label, Edit, NumberEdit, RadioButton, GroupBox, Button, Icon };
  Kind kind = Kind::Label;
  int id = -1;  // -1 for static controls
  std::string text;
  int row = 0;
  int col = 0;
  int width = 0;   // 0: the text's width
  int height = 1;  // group boxes and wrapped texts span several rows
};

struct DialogTemplate {
  int id = 0;
  std::string title;
  std::vector<DialogControl> controls;
};

class Dialog : public CommandTarget {
 public:
  explicit Dialog(DialogTemplate tmpl);

  // Shows the dialog and returns IDOK or IDCANCEL when it ends.
  int DoModal();

  // Loads the members into the controls, or saves and validates them. A refusal shows the
  // prompt in a message box, puts the focus back on the field, and returns false.
  bool UpdateData(bool saveAndValidate);
  virtual void DoDataExchange(DataExchange& /*dx*/) {}
  // Called when the dialog opens; loads the members.
  virtual bool OnInitDialog();
  // OK: saves and validates, and ends the dialog only when every field is accepted.
  virtual void OnOK();
  virtual void OnCancel();
  void EndDialog(int result);

  bool ended() const { return ended_; }
  int result() const { return result_; }
  const DialogTemplate& Template() const { return template_; }

  // The controls' state as the user sees and edits it.
  std::string ItemText(int id) const;
  void SetItemText(int id, const std::string& text);
  int RadioIndex(int firstId) const;
  void SetRadioIndex(int firstId, int index);
  // The ids of the radio buttons of the group that starts at `firstId`, in order.
  std::vector<int> RadioGroup(int firstId) const;
  // The control that should have the keyboard focus (set after a refused field).
  int focusControl() const { return focus_; }
  void SetFocusControl(int id) { focus_ = id; }

 private:
  DialogTemplate template_;
  std::map<int, std::string> texts_;
  std::map<int, int> radios_;
  int focus_ = 0;
  bool ended_ = false;
  int result_ = 0;
};

}  // namespace aequa::fw
