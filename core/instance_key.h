#pragma once
// The key that names a directory's single running copy: key = key * 17 + c over the bytes of
// the directory text, each taken as a signed 8-bit value, wrapping at 32 bits, minus 1.
#include <cstdint>
#include <string_view>

namespace aequa {

int32_t InstanceKeyOf(std::string_view directory);

}  // namespace aequa
