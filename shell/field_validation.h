#pragma once
// Data exchange and validation of dialog fields, with the framework's prompts:
// "Please enter an integer between %1 and %2.", "Please enter a positive integer.",
// "Please enter an integer.", "Please enter no more than %1 characters."
#include <cstdint>
#include <optional>
#include <string>

namespace aequa::ui {

// A field's value or the prompt that refuses it.
template <typename T>
struct Exchanged {
  T value{};
  std::string prompt;  // empty when the text was accepted
  bool ok() const { return prompt.empty(); }
};

// An unsigned field: digits only (surrounding blanks allowed), within 0..2^32-1, then the
// optional range.
Exchanged<uint32_t> ExchangeUnsigned(const std::string& text,
                                     std::optional<uint32_t> min = std::nullopt,
                                     std::optional<uint32_t> max = std::nullopt);
// A signed field: an optional sign and digits, within the 32-bit range, then the range.
Exchanged<int32_t> ExchangeInt(const std::string& text, std::optional<int32_t> min = std::nullopt,
                               std::optional<int32_t> max = std::nullopt);
// A text field of at most `maxChars` characters.
Exchanged<std::string> ExchangeText(const std::string& text, size_t maxChars);

}  // namespace aequa::ui
