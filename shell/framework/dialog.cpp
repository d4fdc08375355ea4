#include "shell/framework/dialog.h"

#include "shell/framework/backend.h"
#include "shell/framework/standard_ids.h"

namespace aequa::fw {

Dialog::Dialog(DialogTemplate tmpl) : template_(std::move(tmpl)) {
  for (const DialogControl& c : template_.controls) {
    if (c.kind == DialogControl::Kind::Edit || c.kind == DialogControl::Kind::NumberEdit) {
      texts_[c.id] = std::string();
    }
  }
}

int Dialog::DoModal() {
  ended_ = false;
  result_ = 0;
  if (!OnInitDialog()) return IDCANCEL;
  return CurrentBackend().RunModalDialog(*this);
}

bool Dialog::OnInitDialog() { return UpdateData(false); }

bool Dialog::UpdateData(bool saveAndValidate) {
  DataExchange dx(*this, saveAndValidate);
  DoDataExchange(dx);
  if (!dx.failed()) return true;
  CurrentBackend().MessageBox(dx.prompt(), MB_ICONEXCLAMATION);
  focus_ = dx.failedControl();
  return false;
}

void Dialog::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

void Dialog::EndDialog(int result) {
  ended_ = true;
  result_ = result;
}

std::string Dialog::ItemText(int id) const {
  auto t = texts_.find(id);
  return t == texts_.end() ? std::string() : t->second;
}

void Dialog::SetItemText(int id, const std::string& text) { texts_[id] = text; }

std::vector<int> Dialog::RadioGroup(int firstId) const {
  std::vector<int> ids;
  bool inGroup = false;
  for (const DialogControl& c : template_.controls) {
    if (c.kind != DialogControl::Kind::RadioButton) {
      if (inGroup) break;
      continue;
    }
    if (c.id == firstId) inGroup = true;
    if (inGroup) ids.push_back(c.id);
  }
  return ids;
}

int Dialog::RadioIndex(int firstId) const {
  auto r = radios_.find(firstId);
  return r == radios_.end() ? -1 : r->second;
}

void Dialog::SetRadioIndex(int firstId, int index) { radios_[firstId] = index; }

}  // namespace aequa::fw
