#include "shell/field_validation.h"

#include <cctype>

namespace aequa::ui {
namespace {

// 2^128, the first value a 128-bit number cannot hold.
constexpr const char* kTwoTo128 = "340282366920938463463374607431768211456";

enum class Parsed { Number, NotANumber, TooLarge };

// Parses [blanks][sign]digits[blanks] into a 64-bit value; TooLarge when the digits pass
// 2^32 - 1 (no 32-bit field can hold them).
Parsed ParseInteger(const std::string& text, bool allowSign, long long& out) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (allowSign && i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  size_t digits = 0;
  long long value = 0;
  bool tooLarge = false;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
    if (!tooLarge) value = value * 10 + (text[i] - '0');
    tooLarge = tooLarge || value > 0xFFFFFFFFll;
    ++i;
    ++digits;
  }
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  if (digits == 0 || i != text.size()) return Parsed::NotANumber;
  if (tooLarge) return Parsed::TooLarge;
  out = negative ? -value : value;
  return Parsed::Number;
}

}  // namespace

std::string RangePrompt(long long min, long long max) {
  return "Please enter an integer between " + std::to_string(min) + " and " +
         std::to_string(max) + ".";
}

Exchanged<uint32_t> ExchangeUnsigned(const std::string& text, std::optional<uint32_t> min,
                                     std::optional<uint32_t> max) {
  Exchanged<uint32_t> result;
  const std::string range = RangePrompt(min.value_or(0), max.value_or(0xFFFFFFFFu));
  long long value = 0;
  switch (ParseInteger(text, false, value)) {
    case Parsed::NotANumber:
      result.prompt = "Please enter a positive integer.";
      return result;
    case Parsed::TooLarge:
      result.prompt = range;
      return result;
    case Parsed::Number:
      break;
  }
  result.value = static_cast<uint32_t>(value);
  if ((min && result.value < *min) || (max && result.value > *max)) result.prompt = range;
  return result;
}

Exchanged<int32_t> ExchangeInt(const std::string& text, std::optional<int32_t> min,
                               std::optional<int32_t> max) {
  Exchanged<int32_t> result;
  const std::string range = RangePrompt(min.value_or(INT32_MIN), max.value_or(INT32_MAX));
  long long value = 0;
  const Parsed parsed = ParseInteger(text, true, value);
  if (parsed == Parsed::NotANumber) {
    result.prompt = "Please enter an integer.";
    return result;
  }
  if (parsed == Parsed::TooLarge || value > INT32_MAX || value < INT32_MIN) {
    result.prompt = range;
    return result;
  }
  result.value = static_cast<int32_t>(value);
  if ((min && result.value < *min) || (max && result.value > *max)) result.prompt = range;
  return result;
}

Exchanged<std::string> ExchangeText(const std::string& text, size_t maxChars, bool plain) {
  Exchanged<std::string> result;
  if (text.size() > maxChars) {
    result.prompt = "Please enter no more than " + std::to_string(maxChars) + " characters.";
    return result;
  }
  if (plain) {
    for (unsigned char c : text) {
      if (c < 0x20 || c == 0x7F) {
        result.prompt = "Please enter no line ends or other control characters.";
        return result;
      }
    }
  }
  result.value = text;
  return result;
}

Exchanged<std::string> ExchangeDigits(const std::string& text, size_t maxChars) {
  Exchanged<std::string> result = ExchangeText(text, maxChars);
  if (!result.ok()) return result;
  bool digitsOnly = !text.empty();
  for (unsigned char c : text) digitsOnly = digitsOnly && c >= '0' && c <= '9';
  if (!digitsOnly) {
    result.prompt = "Please enter decimal digits only.";
    return result;
  }
  const size_t first = text.find_first_not_of('0');
  const std::string significant = first == std::string::npos ? "" : text.substr(first);
  const std::string limit = kTwoTo128;
  if (significant.size() > limit.size() ||
      (significant.size() == limit.size() && significant >= limit)) {
    result.prompt = "Please enter a number below " + limit + ".";
  }
  return result;
}

}  // namespace aequa::ui
