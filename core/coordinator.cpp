#include "core/coordinator.h"

namespace aequa {

const char* CoordinatorEmail() { return AEQUA_COORDINATOR_EMAIL; }
const char* VersionText() { return AEQUA_VERSION_TEXT; }

}  // namespace aequa
