#pragma once
// Unsigned 128-bit integers as four 32-bit words, least significant first: every power, sum
// and window bound of the sum-collision search.
#include <cstdint>
#include <string>

namespace aequa {

struct U128 {
  uint32_t w[4] = {0, 0, 0, 0};

  static U128 Of(uint64_t value) {
    U128 u;
    u.w[0] = static_cast<uint32_t>(value);
    u.w[1] = static_cast<uint32_t>(value >> 32);
    return u;
  }
  bool IsZero() const { return (w[0] | w[1] | w[2] | w[3]) == 0; }
  friend bool operator==(const U128& a, const U128& b) {
    return a.w[0] == b.w[0] && a.w[1] == b.w[1] && a.w[2] == b.w[2] && a.w[3] == b.w[3];
  }
};

// The upper and lower halves as 64-bit numbers.
inline uint64_t High64(const U128& a) { return (static_cast<uint64_t>(a.w[3]) << 32) | a.w[2]; }
inline uint64_t Low64(const U128& a) { return (static_cast<uint64_t>(a.w[1]) << 32) | a.w[0]; }

// -1, 0 or +1, from the most significant word down.
inline int Compare128(const U128& a, const U128& b) {
  const uint64_t ah = High64(a), bh = High64(b);
  if (ah != bh) return ah < bh ? -1 : 1;
  const uint64_t al = Low64(a), bl = Low64(b);
  return (al > bl) - (al < bl);
}

inline bool Less128(const U128& a, const U128& b) {
  const uint64_t ah = High64(a), bh = High64(b);
  return ah < bh || (ah == bh && Low64(a) < Low64(b));
}

// a += b; returns the carry out of the top word.
inline bool Add128(U128& a, const U128& b) {
  uint64_t carry = 0;
  for (int i = 0; i < 4; ++i) {
    carry += static_cast<uint64_t>(a.w[i]) + b.w[i];
    a.w[i] = static_cast<uint32_t>(carry);
    carry >>= 32;
  }
  return carry != 0;
}

// a -= b; returns the borrow out of the top word.
inline bool Sub128(U128& a, const U128& b) {
  uint64_t borrow = 0;
  for (int i = 0; i < 4; ++i) {
    const uint64_t d = static_cast<uint64_t>(a.w[i]) - b.w[i] - borrow;
    a.w[i] = static_cast<uint32_t>(d);
    borrow = (d >> 63) & 1;
  }
  return borrow != 0;
}

// out = x^k by k - 1 multiplications; false (out incomplete) when it passes 128 bits.
bool PowerOf(uint32_t x, uint32_t k, U128& out);

// Quotient of a by d (d > 0), remainder discarded; and the remainder alone.
U128 DivSmall128(const U128& a, uint32_t d);
uint32_t ModSmall128(const U128& a, uint32_t d);

// Decimal digits of a without leading zeros, and a terminating zero byte: `text` has room
// for kDecimal128Size bytes.
inline constexpr int kDecimal128Size = 40;
void ToDecimal128(const U128& a, char* text);
std::string Decimal128(const U128& a);

enum class ParseStop { End, NotADigit, TooLarge };
// Reads decimal digits: out = out * 10 + digit. A character that is not a digit or a carry
// out of the top word stops it with out as far as it got; the result tells which of the
// three ended the text.
ParseStop ParseDecimal128(const char* text, U128& out);

}  // namespace aequa
