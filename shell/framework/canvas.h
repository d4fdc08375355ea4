#pragma once
// A device context reduced to what a view paints with: text measured and drawn in the
// backend's units (pixels on a desktop, character cells on a terminal).
#include <string>

namespace aequa::fw {

struct Size {
  int cx = 0;
  int cy = 0;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual Size GetTextExtent(const std::string& text) = 0;
  virtual Rect GetClientRect() = 0;
  // Draws at (x, y), the top left of the text; whatever falls outside the client area is
  // clipped.
  virtual void TextOut(int x, int y, const std::string& text) = 0;
};

}  // namespace aequa::fw
