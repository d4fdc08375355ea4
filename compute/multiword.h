#pragma once
// Unsigned numbers of W 32-bit words, least significant word first. Every operation is a
// template over W, so that each precision gets its own fully unrolled code; W = 0 stands for
// a word count chosen at run time (DynamicWordCount), used to measure what the unrolling buys.
#include <cstdint>

namespace aequa {

inline constexpr int kLevelCount = 7;
inline constexpr int kLevelWords[kLevelCount] = {1, 2, 3, 4, 8, 16, 32};
inline constexpr int kMaxWords = 32;

// The word count of the W = 0 instantiations.
extern int DynamicWordCount;

template <int W>
inline int WordCount() {
  if constexpr (W > 0) {
    return W;
  } else {
    return DynamicWordCount;
  }
}

template <int W>
inline void CopyWords(uint32_t* to, const uint32_t* from) {

  for (int i = 0; i < WordCount<W>(); ++i) to[i] = from[i];
}

template <int W>
inline void SetSmall(uint32_t* to, uint32_t value) {
  to[0] = value;

  for (int i = 1; i < WordCount<W>(); ++i) to[i] = 0;
}

template <int W>
inline bool IsZero(const uint32_t* a) {
  uint32_t any = 0;

  for (int i = 0; i < WordCount<W>(); ++i) any |= a[i];
  return any == 0;
}

// -1, 0 or 1; decided by the most significant word that differs.
template <int W>
inline int Compare(const uint32_t* a, const uint32_t* b) {

  for (int i = WordCount<W>() - 1; i >= 0; --i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

template <int W>
inline bool Less(const uint32_t* a, const uint32_t* b) {

  for (int i = WordCount<W>() - 1; i > 0; --i) {
    if (a[i] != b[i]) return a[i] < b[i];
  }
  return a[0] < b[0];
}

// sum = a + b; true when a carry leaves the top word. `sum` may be `a` or `b`.
template <int W>
inline bool Add(const uint32_t* a, const uint32_t* b, uint32_t* sum) {
  uint64_t carry = 0;

  for (int i = 0; i < WordCount<W>(); ++i) {
    carry += static_cast<uint64_t>(a[i]) + b[i];
    sum[i] = static_cast<uint32_t>(carry);
    carry >>= 32;
  }
  return carry != 0;
}

// difference = a - b; true when a borrow leaves the top word (a < b; difference is then
// meaningless). `difference` may be `a` or `b`.
template <int W>
inline bool Sub(const uint32_t* a, const uint32_t* b, uint32_t* difference) {
  uint32_t borrow = 0;

  for (int i = 0; i < WordCount<W>(); ++i) {
    const uint64_t t = static_cast<uint64_t>(a[i]) - b[i] - borrow;
    difference[i] = static_cast<uint32_t>(t);
    borrow = static_cast<uint32_t>(t >> 63);
  }
  return borrow != 0;
}

// a *= v in place; true when the product does not fit in W words.
template <int W>
inline bool MulSmall(uint32_t* a, uint32_t v) {
  uint64_t carry = 0;

  for (int i = 0; i < WordCount<W>(); ++i) {
    carry += static_cast<uint64_t>(a[i]) * v;
    a[i] = static_cast<uint32_t>(carry);
    carry >>= 32;
  }
  return carry != 0;
}

// quotient = a / d (d > 0); returns the remainder. `quotient` may be `a`.
template <int W>
inline uint32_t DivSmall(const uint32_t* a, uint32_t d, uint32_t* quotient) {
  uint64_t r = 0;

  for (int i = WordCount<W>() - 1; i >= 0; --i) {
    const uint64_t n = (r << 32) | a[i];
    quotient[i] = static_cast<uint32_t>(n / d);
    r = n % d;
  }
  return static_cast<uint32_t>(r);
}

template <int W>
inline uint32_t ModSmall(const uint32_t* a, uint32_t d) {
  uint64_t r = 0;

  for (int i = WordCount<W>() - 1; i >= 0; --i) r = ((r << 32) | a[i]) % d;
  return static_cast<uint32_t>(r);
}

// The level whose numbers hold an estimate of `bits`; kLevelCount when none does.
int LevelForBits(long double bits);

}  // namespace aequa
