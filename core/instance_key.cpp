#include "core/instance_key.h"

namespace aequa {

int32_t InstanceKeyOf(std::string_view directory) {
  uint32_t key = 0;
  for (char c : directory) {
    key = key * 17u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(c)));
  }
  return static_cast<int32_t>(key - 1u);
}

}  // namespace aequa
