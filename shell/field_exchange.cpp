#include "shell/field_exchange.h"

#include "shell/framework/dialog.h"

namespace aequa::ui {
namespace {

// Loads the member's text into the control, or reads the control's text into the member.
template <typename T>
void Exchange(fw::DataExchange& dx, int id, const FieldSpec& field, T& value,
              const std::string& shown) {
  if (dx.failed()) return;
  dx.setLastControl(id);
  if (!dx.saving()) {
    dx.dialog().SetItemText(id, shown);
    return;
  }
  T read{};
  if (std::optional<Refusal> refusal = ReadField(field, dx.dialog().ItemText(id), read)) {
    return dx.Fail(id, refusal->message);
  }
  value = read;
}

}  // namespace

void DDX_Field(fw::DataExchange& dx, int id, const FieldSpec& field, uint32_t& value) {
  Exchange(dx, id, field, value, std::to_string(value));
}

void DDX_Field(fw::DataExchange& dx, int id, const FieldSpec& field, int32_t& value) {
  Exchange(dx, id, field, value, std::to_string(value));
}

void DDX_Field(fw::DataExchange& dx, int id, const FieldSpec& field, std::string& value) {
  Exchange(dx, id, field, value, value);
}

void FailOnField(fw::DataExchange& dx, const Refusal& refusal,
                 std::initializer_list<FieldControl> controls) {
  int id = dx.lastControl();
  for (const FieldControl& c : controls) {
    if (c.field == refusal.field) id = c.id;
  }
  dx.Fail(id, refusal.message);
}

}  // namespace aequa::ui
