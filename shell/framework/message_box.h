#pragma once
// Message boxes of the application, shown by the current backend.
#include <string>

#include "shell/framework/backend.h"
#include "shell/framework/standard_ids.h"

namespace aequa::fw {

inline int AfxMessageBox(const std::string& text, unsigned type = MB_OK) {
  return CurrentBackend().MessageBox(text, type);
}

}  // namespace aequa::fw
