#pragma once
// Dialog data exchange by the command table: each member is exchanged with its control as
// its field says, and the rules between a range's fields refuse on the control of the field
// they name. The framework shows the prompt and puts the focus back on that control.
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

#include "shell/command_values.h"
#include "shell/framework/data_exchange.h"

namespace aequa::ui {

void DDX_Field(fw::DataExchange& dx, int id, const FieldSpec& field, uint32_t& value);
void DDX_Field(fw::DataExchange& dx, int id, const FieldSpec& field, int32_t& value);
void DDX_Field(fw::DataExchange& dx, int id, const FieldSpec& field, std::string& value);

// Which control shows which field of the dialog.
struct FieldControl {
  const FieldSpec* field;
  int id;
};
// When saving and every field was accepted: the refusal of `rules`, if any, on its field's
// control.
template <typename Values, typename Rules>
void DDV_Rules(fw::DataExchange& dx, const Values& values, Rules rules,
               std::initializer_list<FieldControl> controls);
void FailOnField(fw::DataExchange& dx, const Refusal& refusal,
                 std::initializer_list<FieldControl> controls);

template <typename Values, typename Rules>
void DDV_Rules(fw::DataExchange& dx, const Values& values, Rules rules,
               std::initializer_list<FieldControl> controls) {
  if (!dx.saving() || dx.failed()) return;
  if (std::optional<Refusal> refusal = rules(values)) FailOnField(dx, *refusal, controls);
}

}  // namespace aequa::ui
