#include "shell/framework/data_exchange.h"

#include "shell/field_validation.h"
#include "shell/framework/dialog.h"

namespace aequa::fw {

void DataExchange::Fail(int controlId, const std::string& prompt) {
  if (failed()) return;
  failedControl_ = controlId;
  prompt_ = prompt;
}

void DDX_Text(DataExchange& dx, int id, uint32_t& value) {
  if (dx.failed()) return;
  dx.setLastControl(id);
  if (!dx.saving()) {
    dx.dialog().SetItemText(id, std::to_string(value));
    return;
  }
  auto exchanged = ui::ExchangeUnsigned(dx.dialog().ItemText(id));
  if (!exchanged.ok()) return dx.Fail(id, exchanged.prompt);
  value = exchanged.value;
}

void DDX_Text(DataExchange& dx, int id, int32_t& value) {
  if (dx.failed()) return;
  dx.setLastControl(id);
  if (!dx.saving()) {
    dx.dialog().SetItemText(id, std::to_string(value));
    return;
  }
  auto exchanged = ui::ExchangeInt(dx.dialog().ItemText(id));
  if (!exchanged.ok()) return dx.Fail(id, exchanged.prompt);
  value = exchanged.value;
}

void DDX_Text(DataExchange& dx, int id, std::string& value) {
  if (dx.failed()) return;
  dx.setLastControl(id);
  if (!dx.saving()) {
    dx.dialog().SetItemText(id, value);
    return;
  }
  value = dx.dialog().ItemText(id);
}

void DDX_Radio(DataExchange& dx, int firstId, int32_t& index) {
  if (dx.failed()) return;
  dx.setLastControl(firstId);
  if (!dx.saving()) {
    dx.dialog().SetRadioIndex(firstId, index);
  } else {
    index = dx.dialog().RadioIndex(firstId);
  }
}

// The range prompts are those of the field checks, so that every front end says the same.
void DDV_MinMaxUInt(DataExchange& dx, uint32_t value, uint32_t min, uint32_t max) {
  if (dx.failed() || !dx.saving()) return;
  auto checked = ui::ExchangeUnsigned(std::to_string(value), min, max);
  if (!checked.ok()) dx.Fail(dx.lastControl(), checked.prompt);
}

void DDV_MinMaxInt(DataExchange& dx, int32_t value, int32_t min, int32_t max) {
  if (dx.failed() || !dx.saving()) return;
  auto checked = ui::ExchangeInt(std::to_string(value), min, max);
  if (!checked.ok()) dx.Fail(dx.lastControl(), checked.prompt);
}

void DDV_MaxChars(DataExchange& dx, const std::string& value, size_t maxChars) {
  if (dx.failed() || !dx.saving()) return;
  auto checked = ui::ExchangeText(value, maxChars);
  if (!checked.ok()) dx.Fail(dx.lastControl(), checked.prompt);
}

}  // namespace aequa::fw
