#include "shell/aequo_view.h"

#include "core/output_log.h"

namespace aequa::ui {

void CAequoView::OnDraw(fw::Canvas& canvas) {
  if (lineHeight_ == 0) lineHeight_ = canvas.GetTextExtent("A").cy;
  fw::Rect client = canvas.GetClientRect();
  int y = client.bottom;
  if (y < 1 || lineHeight_ < 1) return;
  for (int i = 1; i <= kLogLines && y > 0; ++i) {
    y -= lineHeight_;
    canvas.TextOut(0, y, CompletedLine(i));
  }
}

}  // namespace aequa::ui
