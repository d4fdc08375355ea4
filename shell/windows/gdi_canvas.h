#pragma once
// The view's canvas on a Windows device context: pixels, the context's current font.
#include "shell/framework/canvas.h"
#include "shell/windows/win32.h"

namespace aequa::win {

class GdiCanvas : public fw::Canvas {
 public:
  GdiCanvas(HDC dc, HWND window) : dc_(dc), window_(window) {}

  fw::Size GetTextExtent(const std::string& text) override {
    SIZE size{};
    GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    return {size.cx, size.cy};
  }
  fw::Rect GetClientRect() override {
    RECT r{};
    ::GetClientRect(window_, &r);
    return {r.left, r.top, r.right, r.bottom};
  }
  void TextOut(int x, int y, const std::string& text) override {
    TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
  }

 private:
  HDC dc_;
  HWND window_;
};

}  // namespace aequa::win
