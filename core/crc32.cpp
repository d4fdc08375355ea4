#include "core/crc32.h"

#include <array>

namespace aequa {
namespace {

constexpr std::array<uint32_t, 256> MakeTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int i = 0; i < 8; ++i) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    table[n] = c;
  }
  return table;
}

// Filled at compile time; BuildCrcTable remains for the start-up sequence.
constexpr std::array<uint32_t, 256> kCrcTable = MakeTable();

}  // namespace

void BuildCrcTable() {}

uint32_t ResultCrc(const char* text, size_t length) {
  uint32_t crc = 0;
  for (size_t i = 0; i < length; ++i) {
    crc = (crc >> 8) ^ kCrcTable[(crc ^ static_cast<unsigned char>(text[i])) & 255];
  }
  return crc;
}

}  // namespace aequa
