#pragma once
// Shared set-up of the fuzz targets: each works in a temporary directory of its own, and its
// input becomes the file under test.
#include <cstddef>
#include <cstdint>
#include <string>

namespace aequa::fuzz {

// Makes a fresh temporary directory the current directory (once per process).
void EnterScratchDirectory();
// Writes the input as the file `name`, and removes the results file a run may have grown.
void WriteInput(const std::string& name, const uint8_t* data, size_t size);
// Stops the program: an invariant did not hold.
[[noreturn]] void Violated(const char* what);

}  // namespace aequa::fuzz
