#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/results_file.h"

namespace aequa::fuzz {

void EnterScratchDirectory() {
  static bool entered = false;
  if (entered) return;
  entered = true;
  std::string pattern = (std::filesystem::temp_directory_path() / "aequa-fuzz-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  std::filesystem::current_path(pattern);
}

void WriteInput(const std::string& name, const uint8_t* data, size_t size) {
  std::ofstream(name, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  std::remove(kResultsFileName);
  ResetStampTime();
}

void Violated(const char* what) {
  std::fprintf(stderr, "invariant violated: %s\n", what);
  std::abort();
}

}  // namespace aequa::fuzz
