#pragma once
// A fixed-size grid of character cells with attributes: what the terminal window shows.
#include <cstdint>
#include <string>
#include <vector>

namespace aequa::term {

enum CellAttr : uint8_t {
  kAttrNormal = 0,
  kAttrReverse = 1,
  kAttrBold = 2,
  kAttrUnderline = 4,
  kAttrDim = 8,
};

class Grid {
 public:
  Grid(int rows = 0, int cols = 0);
  int rows() const { return rows_; }
  int cols() const { return cols_; }

  // Writes `text` from (row, col) on, clipped to the grid; bytes outside printable ASCII are
  // shown as '?'.
  void Put(int row, int col, const std::string& text, uint8_t attr = kAttrNormal);
  void Fill(int row, int col, int count, char c, uint8_t attr = kAttrNormal);
  void SetAttr(int row, int col, int count, uint8_t attr);
  // A frame of '+', '-' and '|' with `title` in its top edge, and its inside cleared.
  void Box(int row, int col, int height, int width, const std::string& title);

  char At(int row, int col) const;
  uint8_t AttrAt(int row, int col) const;
  // Row `row` as text, trailing blanks removed.
  std::string RowText(int row) const;

  int cursorRow = -1;  // where the terminal's cursor goes; -1: hidden
  int cursorCol = -1;

  std::string Serialise() const;
  static bool Deserialise(const std::string& data, Grid& grid);
  bool operator==(const Grid&) const = default;

 private:
  int rows_;
  int cols_;
  std::string chars_;
  std::string attrs_;
};

}  // namespace aequa::term
