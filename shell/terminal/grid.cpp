#include "shell/terminal/grid.h"

#include <cstdio>

namespace aequa::term {

Grid::Grid(int rows, int cols)
    : rows_(rows < 0 ? 0 : rows),
      cols_(cols < 0 ? 0 : cols),
      chars_(static_cast<size_t>(rows_) * cols_, ' '),
      attrs_(static_cast<size_t>(rows_) * cols_, '\0') {}

void Grid::Put(int row, int col, const std::string& text, uint8_t attr) {
  if (row < 0 || row >= rows_) return;
  for (size_t i = 0; i < text.size(); ++i) {
    int c = col + static_cast<int>(i);
    if (c < 0) continue;
    if (c >= cols_) break;
    unsigned char ch = static_cast<unsigned char>(text[i]);
    chars_[static_cast<size_t>(row) * cols_ + c] = (ch >= 32 && ch < 127) ? static_cast<char>(ch) : '?';
    attrs_[static_cast<size_t>(row) * cols_ + c] = static_cast<char>(attr);
  }
}

void Grid::Fill(int row, int col, int count, char c, uint8_t attr) {
  if (count > 0) Put(row, col, std::string(static_cast<size_t>(count), c), attr);
}

void Grid::SetAttr(int row, int col, int count, uint8_t attr) {
  if (row < 0 || row >= rows_) return;
  for (int c = col; c < col + count; ++c) {
    if (c >= 0 && c < cols_) attrs_[static_cast<size_t>(row) * cols_ + c] = static_cast<char>(attr);
  }
}

void Grid::Box(int row, int col, int height, int width, const std::string& title) {
  if (height < 2 || width < 2) return;
  for (int r = row; r < row + height; ++r) Fill(r, col, width, ' ');
  Fill(row, col, width, '-');
  Fill(row + height - 1, col, width, '-');
  for (int r = row; r < row + height; ++r) {
    Put(r, col, (r == row || r == row + height - 1) ? "+" : "|");
    Put(r, col + width - 1, (r == row || r == row + height - 1) ? "+" : "|");
  }
  if (!title.empty()) Put(row, col + 2, " " + title.substr(0, static_cast<size_t>(width > 6 ? width - 6 : 0)) + " ", kAttrBold);
}

char Grid::At(int row, int col) const {
  if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return ' ';
  return chars_[static_cast<size_t>(row) * cols_ + col];
}

uint8_t Grid::AttrAt(int row, int col) const {
  if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return 0;
  return static_cast<uint8_t>(attrs_[static_cast<size_t>(row) * cols_ + col]);
}

std::string Grid::RowText(int row) const {
  if (row < 0 || row >= rows_) return std::string();
  std::string text = chars_.substr(static_cast<size_t>(row) * cols_, static_cast<size_t>(cols_));
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string Grid::Serialise() const {
  char header[64];
  std::snprintf(header, sizeof header, "%d %d %d %d\n", rows_, cols_, cursorRow, cursorCol);
  return header + chars_ + attrs_;
}

bool Grid::Deserialise(const std::string& data, Grid& grid) {
  size_t nl = data.find('\n');
  if (nl == std::string::npos) return false;
  int rows = 0, cols = 0, cr = -1, cc = -1;
  if (std::sscanf(data.substr(0, nl).c_str(), "%d %d %d %d", &rows, &cols, &cr, &cc) != 4) return false;
  if (rows < 0 || cols < 0 || rows > 1000 || cols > 1000) return false;
  const size_t cells = static_cast<size_t>(rows) * cols;
  if (data.size() != nl + 1 + 2 * cells) return false;
  grid = Grid(rows, cols);
  grid.chars_ = data.substr(nl + 1, cells);
  grid.attrs_ = data.substr(nl + 1 + cells, cells);
  grid.cursorRow = cr;
  grid.cursorCol = cc;
  return true;
}

}  // namespace aequa::term
