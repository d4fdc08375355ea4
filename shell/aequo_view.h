#pragma once
// Paints the log's completed lines, newest at the bottom, older ones upwards.
#include "shell/framework/document_view.h"

namespace aequa::ui {

class CAequoView : public fw::View {
 public:
  void OnDraw(fw::Canvas& canvas) override;

 private:
  int lineHeight_ = 0;  // measured on the first paint
};

}  // namespace aequa::ui
