#pragma once
// The reflected CRC-32 (polynomial 0xEDB88320) that signs result lines: starting from 0,
// with no final complement.
#include <cstddef>
#include <cstdint>

namespace aequa {

void BuildCrcTable();
uint32_t ResultCrc(const char* text, size_t length);

}  // namespace aequa
