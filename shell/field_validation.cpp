#include "shell/field_validation.h"

#include <cctype>

namespace aequa::ui {
namespace {

std::string RangePrompt(long long min, long long max) {
  return "Please enter an integer between " + std::to_string(min) + " and " +
         std::to_string(max) + ".";
}

// Parses [blanks][sign]digits[blanks] into a 64-bit value; false when the text is not
// a number or has more digits than fit.
bool ParseInteger(const std::string& text, bool allowSign, long long& out) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (allowSign && i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  size_t digits = 0;
  long long value = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
    value = value * 10 + (text[i] - '0');
    if (value > 0xFFFFFFFFll) return false;
    ++i;
    ++digits;
  }
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  if (digits == 0 || i != text.size()) return false;
  out = negative ? -value : value;
  return true;
}

}  // namespace

Exchanged<uint32_t> ExchangeUnsigned(const std::string& text, std::optional<uint32_t> min,
                                     std::optional<uint32_t> max) {
  Exchanged<uint32_t> result;
  long long value = 0;
  if (!ParseInteger(text, false, value)) {
    result.prompt = "Please enter a positive integer.";
    return result;
  }
  result.value = static_cast<uint32_t>(value);
  if ((min && result.value < *min) || (max && result.value > *max)) {
    result.prompt = RangePrompt(min.value_or(0), max.value_or(0xFFFFFFFFu));
  }
  return result;
}

Exchanged<int32_t> ExchangeInt(const std::string& text, std::optional<int32_t> min,
                               std::optional<int32_t> max) {
  Exchanged<int32_t> result;
  long long value = 0;
  if (!ParseInteger(text, true, value) || value > INT32_MAX || value < INT32_MIN) {
    result.prompt = "Please enter an integer.";
    return result;
  }
  result.value = static_cast<int32_t>(value);
  if ((min && result.value < *min) || (max && result.value > *max)) {
    result.prompt = RangePrompt(min.value_or(INT32_MIN), max.value_or(INT32_MAX));
  }
  return result;
}

Exchanged<std::string> ExchangeText(const std::string& text, size_t maxChars) {
  Exchanged<std::string> result;
  if (text.size() > maxChars) {
    result.prompt = "Please enter no more than " + std::to_string(maxChars) + " characters.";
    return result;
  }
  result.value = text;
  return result;
}

}  // namespace aequa::ui
