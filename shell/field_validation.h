#pragma once
// Data exchange and validation of dialog fields, with the framework's prompts:
// "Please enter an integer between %1 and %2.", "Please enter a positive integer.",
// "Please enter an integer.", "Please enter no more than %1 characters.", and the prompts of
// this program for plain text and for long decimal numbers.
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

// "Please enter an integer between <min> and <max>."
std::string RangePrompt(long long min, long long max);

// An unsigned field: digits only (surrounding blanks allowed), then the optional range. A
// number too large for 32 bits gets the range prompt (of the field, else of the type).
Exchanged<uint32_t> ExchangeUnsigned(const std::string& text,
                                     std::optional<uint32_t> min = std::nullopt,
                                     std::optional<uint32_t> max = std::nullopt);
// A signed field: an optional sign and digits, then the range; a number beyond 32 bits gets
// the range prompt as above.
Exchanged<int32_t> ExchangeInt(const std::string& text, std::optional<int32_t> min = std::nullopt,
                               std::optional<int32_t> max = std::nullopt);
// A text field of at most `maxChars` characters; `plain` refuses line ends and other control
// characters (the text is stored as one line of the settings file).
Exchanged<std::string> ExchangeText(const std::string& text, size_t maxChars, bool plain = false);
// A number of decimal digits only (no sign, blank or exponent), at most `maxChars` long and
// below 2^128.
Exchanged<std::string> ExchangeDigits(const std::string& text, size_t maxChars);

}  // namespace aequa::ui
