#include "sums/u128.h"

#include <algorithm>


namespace aequa {
namespace {

// a *= v in place; returns true when the product passes 128 bits.
bool MultiplySmall(U128& a, uint32_t v) {
  uint64_t carry = 0;
  for (int i = 0; i < 4; ++i) {
    carry += static_cast<uint64_t>(a.w[i]) * v;
    a.w[i] = static_cast<uint32_t>(carry);
    carry >>= 32;
  }
  return carry != 0;
}

}  // namespace

bool PowerOf(uint32_t x, uint32_t k, U128& out) {
  out = U128::Of(x);
  for (uint32_t i = 1; i < k; ++i) {
    if (MultiplySmall(out, x)) return false;
  }
  return true;
}

U128 DivSmall128(const U128& a, uint32_t d) {
  U128 q;
  uint64_t r = 0;
  for (int i = 3; i >= 0; --i) {
    const uint64_t part = (r << 32) | a.w[i];
    q.w[i] = static_cast<uint32_t>(part / d);
    r = part % d;
  }
  return q;
}

uint32_t ModSmall128(const U128& a, uint32_t d) {
  uint64_t r = 0;
  for (int i = 3; i >= 0; --i) r = ((r << 32) | a.w[i]) % d;
  return static_cast<uint32_t>(r);
}

void ToDecimal128(const U128& a, char* text) {
  char digits[kDecimal128Size];
  int count = 0;
  U128 rest = a;
  do {
    digits[count++] = static_cast<char>('0' + ModSmall128(rest, 10));
    rest = DivSmall128(rest, 10);
  } while (!rest.IsZero());
  for (int i = 0; i < count; ++i) text[i] = digits[count - 1 - i];
  text[count] = '\0';
}

std::string Decimal128(const U128& a) {
  char text[kDecimal128Size];
  ToDecimal128(a, text);
  return text;
}

ParseStop ParseDecimal128(const char* text, U128& out) {
  out = U128();
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9') {
      return ParseStop::NotADigit;
    }
    const bool carry = MultiplySmall(out, 10);
    if (carry || Add128(out, U128::Of(static_cast<uint32_t>(*p - '0')))) {
      return ParseStop::TooLarge;
    }
  }
  return ParseStop::End;
}

}  // namespace aequa
