#pragma once
// A view's canvas on a region of the grid: one character cell is one unit, a line of text
// is one cell high.
#include <string>

#include "shell/framework/canvas.h"
#include "shell/terminal/grid.h"

namespace aequa::term {

class GridCanvas : public fw::Canvas {
 public:
  GridCanvas(Grid& grid, int top, int left, int height, int width)
      : grid_(grid), top_(top), left_(left), height_(height), width_(width) {}

  fw::Size GetTextExtent(const std::string& text) override {
    return {static_cast<int>(text.size()), 1};
  }
  fw::Rect GetClientRect() override { return {0, 0, width_, height_}; }
  void TextOut(int x, int y, const std::string& text) override {
    if (y < 0 || y >= height_) return;
    std::string clipped = x < width_ ? text.substr(0, static_cast<size_t>(width_ - x)) : std::string();
    grid_.Put(top_ + y, left_ + x, clipped);
  }

 private:
  Grid& grid_;
  int top_;
  int left_;
  int height_;
  int width_;
};

}  // namespace aequa::term
