#pragma once
// Unsigned numbers of W 32-bit words, least significant word first. Every operation is a
// template over W, so that each precision gets its own fully unrolled code; W = 0 stands for
// a word count chosen at run time (DynamicWordCount), used to measure what the unrolling buys.
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

namespace aequa {

inline constexpr int kLevelCount = 7;
inline constexpr int kLevelWords[kLevelCount] = {1, 2, 3, 4, 8, 16, 32};
inline constexpr int kMaxWords = 32;

// The word count of the W = 0 instantiations. Only the benchmark and the tests instantiate them
// (and define this), to measure and check what the unrolling buys; the searches never do.
extern int DynamicWordCount;

template <int W>
inline int WordCount() {
  if constexpr (W > 0) {
    return W;
  } else {
    return DynamicWordCount;
  }
}

// Words up to which the operations are spelled out one by one; wider numbers use loops of a
// fixed count, which the compiler handles better at those sizes.
inline constexpr int kSpelledOutWords = 4;

// Calls f(0), f(1), ..., f(W - 1).
template <int W, class F>
inline void ForEachWord(F&& f) {
  if constexpr (W > kSpelledOutWords) {
    for (int i = 0; i < W; ++i) f(i);
  } else if constexpr (W > 0) {
    [&]<int... I>(std::integer_sequence<int, I...>) {
      (f(I), ...);
    }(std::make_integer_sequence<int, W>{});
  } else {
    for (int i = 0; i < DynamicWordCount; ++i) f(i);
  }
}

// Calls f(W - 1), f(W - 2), ... until one returns true; true when one did.
template <int W, class F>
inline bool AnyWordFromTop(F&& f) {
  if constexpr (W > kSpelledOutWords) {
    for (int i = W - 1; i >= 0; --i) {
      if (f(i)) return true;
    }
    return false;
  } else if constexpr (W > 0) {
    return [&]<int... I>(std::integer_sequence<int, I...>) {
      return (f(W - 1 - I) || ...);
    }(std::make_integer_sequence<int, W>{});
  } else {
    for (int i = DynamicWordCount - 1; i >= 0; --i) {
      if (f(i)) return true;
    }
    return false;
  }
}

// On a little-endian host two adjacent words form one 64-bit word, so a fixed W of two or
// more is compared, added and subtracted 64 bits at a time (and an odd top word alone).
inline constexpr bool kPairedWords = std::endian::native == std::endian::little;

template <int W>
constexpr bool UsePairs() {
  return W >= 2 && kPairedWords;
}

inline uint64_t LoadPair(const uint32_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline void StorePair(uint32_t* p, uint64_t v) { std::memcpy(p, &v, sizeof v); }

// Calls f(0), f(1), ... for the W / 2 pairs of words (pair j holds words 2j and 2j + 1).
template <int W, class F>
inline void ForEachPair(F&& f) {
  ForEachWord<W / 2>(f);
}

template <int W, class F>
inline bool AnyPairFromTop(F&& f) {
  return AnyWordFromTop<W / 2>(f);
}

template <int W>
inline void CopyWords(uint32_t* to, const uint32_t* from) {
  if constexpr (W > 0) {
    std::memcpy(to, from, sizeof(uint32_t) * W);
  } else {
    ForEachWord<W>([&](int i) { to[i] = from[i]; });
  }
}

template <int W>
inline void SetSmall(uint32_t* to, uint32_t value) {
  ForEachWord<W>([&](int i) { to[i] = i == 0 ? value : 0; });
}

template <int W>
inline bool IsZero(const uint32_t* a) {
  if constexpr (UsePairs<W>()) {
    uint64_t any = W % 2 != 0 ? a[W - 1] : 0;
    ForEachPair<W>([&](int j) { any |= LoadPair(a + 2 * j); });
    return any == 0;
  } else {
    uint32_t any = 0;
    ForEachWord<W>([&](int i) { any |= a[i]; });
    return any == 0;
  }
}

// -1, 0 or 1; decided by the most significant word that differs.
template <int W>
inline int Compare(const uint32_t* a, const uint32_t* b) {
  int result = 0;
  if constexpr (UsePairs<W>()) {
    if (W % 2 != 0 && a[W - 1] != b[W - 1]) return a[W - 1] < b[W - 1] ? -1 : 1;
    AnyPairFromTop<W>([&](int j) {
      const uint64_t x = LoadPair(a + 2 * j);
      const uint64_t y = LoadPair(b + 2 * j);
      if (x == y) return false;
      result = x < y ? -1 : 1;
      return true;
    });
  } else {
    AnyWordFromTop<W>([&](int i) {
      if (a[i] == b[i]) return false;
      result = a[i] < b[i] ? -1 : 1;
      return true;
    });
  }
  return result;
}

template <int W>
inline bool Less(const uint32_t* a, const uint32_t* b) {
  bool less = false;
  if constexpr (UsePairs<W>()) {
    if (W % 2 != 0 && a[W - 1] != b[W - 1]) return a[W - 1] < b[W - 1];
    AnyPairFromTop<W>([&](int j) {
      const uint64_t x = LoadPair(a + 2 * j);
      const uint64_t y = LoadPair(b + 2 * j);
      if (x == y) return false;
      less = x < y;
      return true;
    });
  } else {
    AnyWordFromTop<W>([&](int i) {
      if (a[i] == b[i]) return false;
      less = a[i] < b[i];
      return true;
    });
  }
  return less;
}

// sum = a + b; true when a carry leaves the top word. `sum` may be `a` or `b`.
template <int W>
inline bool Add(const uint32_t* a, const uint32_t* b, uint32_t* sum) {
  if constexpr (UsePairs<W>()) {
    uint64_t carry = 0;
    ForEachPair<W>([&](int j) {
      const uint64_t x = LoadPair(a + 2 * j);
      const uint64_t t = x + LoadPair(b + 2 * j);
      const uint64_t r = t + carry;
      carry = static_cast<uint64_t>(t < x) | static_cast<uint64_t>(r < t);
      StorePair(sum + 2 * j, r);
    });
    if constexpr (W % 2 != 0) {
      carry += static_cast<uint64_t>(a[W - 1]) + b[W - 1];
      sum[W - 1] = static_cast<uint32_t>(carry);
      carry >>= 32;
    }
    return carry != 0;
  } else {
    uint64_t carry = 0;
    ForEachWord<W>([&](int i) {
      carry += static_cast<uint64_t>(a[i]) + b[i];
      sum[i] = static_cast<uint32_t>(carry);
      carry >>= 32;
    });
    return carry != 0;
  }
}

// difference = a - b; true when a borrow leaves the top word (a < b; difference is then
// meaningless). `difference` may be `a` or `b`.
template <int W>
inline bool Sub(const uint32_t* a, const uint32_t* b, uint32_t* difference) {
  if constexpr (UsePairs<W>()) {
    uint64_t borrow = 0;
    ForEachPair<W>([&](int j) {
      const uint64_t x = LoadPair(a + 2 * j);
      const uint64_t y = LoadPair(b + 2 * j);
      const uint64_t t = x - y;
      const uint64_t r = t - borrow;
      borrow = static_cast<uint64_t>(x < y) | static_cast<uint64_t>(t < borrow);
      StorePair(difference + 2 * j, r);
    });
    if constexpr (W % 2 != 0) {
      const uint64_t t = static_cast<uint64_t>(a[W - 1]) - b[W - 1] - borrow;
      difference[W - 1] = static_cast<uint32_t>(t);
      borrow = t >> 63;
    }
    return borrow != 0;
  } else {
    uint32_t borrow = 0;
    ForEachWord<W>([&](int i) {
      const uint64_t t = static_cast<uint64_t>(a[i]) - b[i] - borrow;
      difference[i] = static_cast<uint32_t>(t);
      borrow = static_cast<uint32_t>(t >> 63);
    });
    return borrow != 0;
  }
}

// a *= v in place; true when the product does not fit in W words.
template <int W>
inline bool MulSmall(uint32_t* a, uint32_t v) {
  uint64_t carry = 0;
  ForEachWord<W>([&](int i) {
    carry += static_cast<uint64_t>(a[i]) * v;
    a[i] = static_cast<uint32_t>(carry);
    carry >>= 32;
  });
  return carry != 0;
}

// quotient = a / d (d > 0); returns the remainder. `quotient` may be `a`.
template <int W>
inline uint32_t DivSmall(const uint32_t* a, uint32_t d, uint32_t* quotient) {
  uint64_t r = 0;
  AnyWordFromTop<W>([&](int i) {
    const uint64_t n = (r << 32) | a[i];
    quotient[i] = static_cast<uint32_t>(n / d);
    r = n % d;
    return false;
  });
  return static_cast<uint32_t>(r);
}

template <int W>
inline uint32_t ModSmall(const uint32_t* a, uint32_t d) {
  uint64_t r = 0;
  AnyWordFromTop<W>([&](int i) {
    r = ((r << 32) | a[i]) % d;
    return false;
  });
  return static_cast<uint32_t>(r);
}

// The level whose numbers hold an estimate of `bits`; kLevelCount when none does.
int LevelForBits(long double bits);

}  // namespace aequa
