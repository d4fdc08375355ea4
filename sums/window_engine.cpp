#include "sums/window_engine.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "sums/sum_powers.h"
#include "sums/sum_search.h"

namespace aequa {
namespace {

// Part of the buffer a planned window aims to fill: the density changes from window to
// window, and a window that overflows costs a sort to make room.
constexpr double kPlannedFill = 0.75;
// A window without sums: the next one is this many times as wide.
constexpr double kEmptyWindowGrowth = 16;
// Narrow entries keep the value's offset in the window above an 8-bit term count.
constexpr unsigned kNarrowOffsetBits = 56;
// Wide entries: the offset's top word gives up its low byte to the term count.
constexpr unsigned kWideOffsetBits = 120;
// Radix digits: the top digit that splits a large buffer into buckets, and the digits of
// the small buckets.
constexpr unsigned kTopDigitBits = 11;
constexpr unsigned kSmallDigitBits = 8;
constexpr size_t kBucketedSortThreshold = 1u << 16;
// Passes between two looks at the stop request.
constexpr uint32_t kStopCheckInterval = 1024;
constexpr uint64_t kSmallestBuffer = 1024;

// --- values: uint64_t for windows below 2^64, U64Pair above -------------------------------

inline bool operator<(const U64Pair& a, const U64Pair& b) {
  return a.hi < b.hi || (a.hi == b.hi && a.lo < b.lo);
}
inline bool operator==(const U64Pair& a, const U64Pair& b) { return a.hi == b.hi && a.lo == b.lo; }
inline U64Pair operator+(const U64Pair& a, const U64Pair& b) {
  U64Pair s;
  s.lo = a.lo + b.lo;
  s.hi = a.hi + b.hi + (s.lo < a.lo);
  return s;
}
inline U64Pair operator-(const U64Pair& a, const U64Pair& b) {
  U64Pair d;
  d.lo = a.lo - b.lo;
  d.hi = a.hi - b.hi - (a.lo < b.lo);
  return d;
}

U64Pair PairOf(const U128& u) { return {Low64(u), High64(u)}; }
U128 U128Of(const U64Pair& p) {
  U128 u;
  u.w[0] = static_cast<uint32_t>(p.lo);
  u.w[1] = static_cast<uint32_t>(p.lo >> 32);
  u.w[2] = static_cast<uint32_t>(p.hi);
  u.w[3] = static_cast<uint32_t>(p.hi >> 32);
  return u;
}
U128 U128Of(uint64_t v) { return U128::Of(v); }

// Smallest q with q * r >= a.
uint64_t CeilDiv(uint64_t a, uint32_t r) { return a / r + (a % r != 0); }
U64Pair CeilDiv(const U64Pair& a, uint32_t r) {
  const U128 u = U128Of(a);
  U64Pair q = PairOf(DivSmall128(u, r));
  if (ModSmall128(u, r) != 0) q = q + U64Pair{1, 0};
  return q;
}

unsigned BitLength(uint64_t v) {
  unsigned bits = 0;
  for (; v != 0; v >>= 1) ++bits;
  return bits;
}
unsigned BitLength(const U64Pair& v) { return v.hi != 0 ? 64 + BitLength(v.hi) : BitLength(v.lo); }

double DoubleOf(const U128& u) {
  return std::ldexp(static_cast<double>(High64(u)), 64) + static_cast<double>(Low64(u));
}

// The value nearest below d (d >= 0), saturated at 2^128 - 1.
U128 U128OfDouble(double d) {
  if (!(d < std::ldexp(1.0, 128))) {
    U128 all;
    for (uint32_t& w : all.w) w = 0xFFFFFFFFu;
    return all;
  }
  const double hi = std::floor(std::ldexp(d, -64));
  const double lo = d - std::ldexp(hi, 64);
  U64Pair p{lo <= 0 ? 0 : static_cast<uint64_t>(lo), static_cast<uint64_t>(hi)};
  return U128Of(p);
}

// --- entries: the offset from the window's low and the term count --------------------------

struct WideEntry {
  uint64_t lo;
  uint64_t hi;  // offset bits 64 .. 119 above the term count
};

inline uint64_t Pack(uint64_t offset, uint32_t terms) { return (offset << 8) | terms; }
inline WideEntry Pack(const U64Pair& offset, uint32_t terms) {
  return {offset.lo, (offset.hi << 8) | terms};
}
inline uint32_t TermsOf(uint64_t e) { return static_cast<uint32_t>(e & 0xFF); }
inline uint32_t TermsOf(const WideEntry& e) { return static_cast<uint32_t>(e.hi & 0xFF); }
inline uint64_t OffsetOf(uint64_t e) { return e >> 8; }
inline U64Pair OffsetOf(const WideEntry& e) { return {e.lo, e.hi >> 8}; }
inline void SetTerms(uint64_t& e, uint32_t terms) { e = (e & ~uint64_t{0xFF}) | terms; }
inline void SetTerms(WideEntry& e, uint32_t terms) { e.hi = (e.hi & ~uint64_t{0xFF}) | terms; }
inline bool SameOffset(uint64_t a, uint64_t b) { return (a >> 8) == (b >> 8); }
inline bool SameOffset(const WideEntry& a, const WideEntry& b) {
  return a.lo == b.lo && (a.hi >> 8) == (b.hi >> 8);
}
// Offset bits shift .. shift + 63, low bits first.
inline uint64_t OffsetBits(uint64_t e, unsigned shift) { return e >> (8 + shift); }
inline uint64_t OffsetBits(const WideEntry& e, unsigned shift) {
  const uint64_t hi = e.hi >> 8;
  if (shift >= 64) return hi >> (shift - 64);
  return shift == 0 ? e.lo : (e.lo >> shift) | (hi << (64 - shift));
}

}  // namespace

// One window's pass: generates the window's sums in the tree's order (largest term first,
// then each prefix before its extensions), sorts them and reads off the collisions.
template <typename Value, typename Entry, bool Filtered>
class WindowPass {
 public:
  WindowPass(WindowEngine& engine, const Value* powers, const Value& low, const Value& ceiling)
      : engine_(engine),
        powers_(powers),
        residues_(engine.residues_.data()),
        mask_(engine.setup_.sieveMask),
        n_(engine.setup_.n),
        low_(low),
        ceiling_(ceiling) {
    entries_ = reinterpret_cast<Entry*>(engine.buffer_.get());
    capacity_ = engine.bufferBytes_ / (2 * sizeof(Entry));
    spare_ = entries_ + capacity_;
  }

  // False when a stop ended the pass.
  bool Run() {
    const uint32_t end = engine_.setup_.end;
    uint32_t x = SmallestAtLeast(CeilDiv(low_, n_), end - 1);
    for (; x < end; ++x) {
      if (engine_.setup_.stop && engine_.setup_.stop()) return false;
      const Value p = powers_[x];
      if (!(p < ceiling_)) break;
      const uint32_t residues = Filtered ? residues_[x] : 0;
      if (!(p < low_) && (!Filtered || Admitted(residues, mask_))) Put(p, 1);
      if (n_ >= 2) Extend(p, residues, 2, x);
      if (stopped_) return false;
    }
    SortByOffset();
    Fold(true);
    engine_.lastSums_ = written_;
    engine_.lastOverflows_ = overflows_;
    const double width = DoubleOf(U128Of(ceiling_ - low_));
    engine_.lastWidth_ = width;
    engine_.density_ = static_cast<double>(represented_ + count_) / width;
    return true;
  }

  const Value& Ceiling() const { return ceiling_; }

 private:
  // Smallest y in [1, limit] with y^k >= value, limit + 1 when there is none.
  uint32_t SmallestAtLeast(const Value& value, uint32_t limit) const {
    uint32_t low = 1, high = limit + 1;
    while (low < high) {
      const uint32_t mid = low + (high - low) / 2;
      if (powers_[mid] < value) {
        low = mid + 1;
      } else {
        high = mid;
      }
    }
    return low;
  }

  // Adds term number `depth`, y = 1 .. limit, to `prefix` (below the ceiling).
  void Extend(const Value& prefix, uint32_t residues, uint32_t depth, uint32_t limit) {
    uint32_t y = 1;
    if (prefix < low_) {
      // With r terms still to add, none above y, a y with r * y^k short of the window
      // reaches it neither here nor deeper.
      y = SmallestAtLeast(CeilDiv(low_ - prefix, n_ + 1 - depth), limit);
    }
    if (depth == n_) {
      Last(prefix, residues, y, limit);
      return;
    }
    if (++ticks_ % kStopCheckInterval == 0 && engine_.setup_.stop && engine_.setup_.stop()) {
      stopped_ = true;
    }
    for (; y <= limit && !stopped_; ++y) {
      // The ceiling falls when the buffer makes room: reread it each time.
      if (!(prefix < ceiling_)) return;
      const Value p = powers_[y];
      if (!(p < ceiling_ - prefix)) return;
      const Value sum = prefix + p;
      const uint32_t r = Filtered ? residues + residues_[y] : 0;
      if (!(sum < low_) && (!Filtered || Admitted(r, mask_))) Put(sum, depth);
      Extend(sum, r, depth + 1, y);
    }
  }

  // The last term: every sum from y up to the ceiling is in the window.
  void Last(const Value& prefix, uint32_t residues, uint32_t y, uint32_t limit) {
    if (!(prefix < ceiling_)) return;
    Value room = ceiling_ - prefix;
    const Value base = prefix - low_;  // wraps below the window; the sums do not
    const uint32_t depth = n_;
    for (; y <= limit; ++y) {
      const Value p = powers_[y];
      if (!(p < room)) return;
      if constexpr (Filtered) {
        if (!Admitted(residues + residues_[y], mask_)) continue;
      }
      if (count_ == capacity_) {
        MakeRoom();
        if (!(prefix < ceiling_)) return;
        room = ceiling_ - prefix;
        if (!(p < room)) return;
      }
      entries_[count_++] = Pack(base + p, depth);
      ++written_;
    }
  }

  void Put(const Value& sum, uint32_t terms) {
    if (count_ == capacity_) {
      MakeRoom();
      if (!(sum < ceiling_)) return;
    }
    entries_[count_++] = Pack(sum - low_, terms);
    ++written_;
  }

  // A full buffer: equal values are folded into one entry each (their lines noted), and when
  // that frees less than half, the upper half of the values is given up: the window ends at
  // the middle value and the values above come with the next window.
  void MakeRoom() {
    ++overflows_;
    SortByOffset();
    Fold(false);
    if (count_ <= capacity_ / 2) return;
    const size_t keep = count_ / 2;
    const Value cut = OffsetOf(entries_[keep]);  // above every kept offset: they are distinct
    represented_ = static_cast<uint64_t>(static_cast<double>(represented_) * keep / count_);
    count_ = keep;
    ceiling_ = low_ + cut;
    const U128 ceiling = U128Of(ceiling_);
    auto& lines = engine_.lines_;
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [&](const CollisionLine& l) { return !Less128(l.value, ceiling); }),
                lines.end());
  }

  // Stable radix sort of the entries by offset. A large buffer is first split by its top
  // digit into buckets small enough for the cache, and each bucket is then sorted by the
  // digits below it: two trips through memory instead of one per digit.
  void SortByOffset() {
    const unsigned bits = BitLength(ceiling_ - low_ - Value{1});
    if (bits == 0 || count_ < 2) return;
    if (bits <= kTopDigitBits || count_ < kBucketedSortThreshold) {
      if (SortRange(entries_, spare_, count_, 0, bits) != entries_) std::swap(entries_, spare_);
      return;
    }
    const unsigned shift = bits - kTopDigitBits;
    constexpr size_t kBuckets = size_t{1} << kTopDigitBits;
    size_t bounds[kBuckets + 1];
    std::fill(bounds, bounds + kBuckets + 1, 0);
    for (size_t i = 0; i < count_; ++i) ++bounds[OffsetBits(entries_[i], shift) + 1];
    for (size_t d = 1; d <= kBuckets; ++d) bounds[d] += bounds[d - 1];
    size_t next[kBuckets];
    std::copy(bounds, bounds + kBuckets, next);
    for (size_t i = 0; i < count_; ++i) {
      const Entry e = entries_[i];
      spare_[next[OffsetBits(e, shift)]++] = e;
    }
    for (size_t d = 0; d < kBuckets; ++d) {
      const size_t begin = bounds[d], size = bounds[d + 1] - begin;
      if (size == 0) continue;
      const Entry* sorted = SortRange(spare_ + begin, entries_ + begin, size, 0, shift);
      if (sorted != entries_ + begin) std::copy(sorted, sorted + size, entries_ + begin);
    }
  }

  // Stable LSD radix sort of `size` entries by offset bits shift .. shift + bits - 1, moving
  // them between `data` and `scratch`; returns where they end up.
  static Entry* SortRange(Entry* data, Entry* scratch, size_t size, unsigned shift,
                          unsigned bits) {
    if (size < 2 || bits == 0) return data;
    const unsigned widest = size < 4096 ? kSmallDigitBits : kTopDigitBits;
    const unsigned passes = (bits + widest - 1) / widest;
    const unsigned digitBits = (bits + passes - 1) / passes;
    const uint64_t mask = (uint64_t{1} << digitBits) - 1;
    size_t slots[size_t{1} << kTopDigitBits];
    for (unsigned pass = 0; pass < passes; ++pass) {
      const unsigned at = shift + pass * digitBits;
      std::fill(slots, slots + mask + 1, 0);
      for (size_t i = 0; i < size; ++i) ++slots[OffsetBits(data[i], at) & mask];
      // A digit that all entries share leaves the order as it is.
      if (slots[OffsetBits(data[0], at) & mask] == size) continue;
      size_t start = 0;
      for (uint64_t d = 0; d <= mask; ++d) {
        const size_t c = slots[d];
        slots[d] = start;
        start += c;
      }
      for (size_t i = 0; i < size; ++i) {
        const Entry e = data[i];
        scratch[slots[OffsetBits(e, at) & mask]++] = e;
      }
      std::swap(data, scratch);
    }
    return data;
  }

  // Over the sorted entries: each run of an equal value, in the pass's order, gives the lines
  // the tree gives (the fewest terms so far against each later sum) and one entry with the
  // fewest terms. At the end of the pass (`last`) the entries are no longer needed.
  void Fold(bool last) {
    size_t out = 0;
    for (size_t i = 0; i < count_;) {
      size_t j = i + 1;
      Entry first = entries_[i];
      uint32_t fewest = TermsOf(first);
      for (; j < count_ && SameOffset(entries_[j], first); ++j) {
        const uint32_t terms = TermsOf(entries_[j]);
        if (engine_.setup_.wanted(fewest, terms)) {
          engine_.lines_.push_back({U128Of(low_ + OffsetOf(first)), fewest, terms});
        }
        if (terms < fewest) fewest = terms;
      }
      if (!last) {
        represented_ += j - i - 1;
        SetTerms(first, fewest);
        entries_[out++] = first;
      }
      i = j;
    }
    if (!last) count_ = out;
  }

  WindowEngine& engine_;
  const Value* powers_;
  const uint32_t* residues_;
  const uint32_t mask_;
  const uint32_t n_;
  const Value low_;
  Value ceiling_;
  Entry* entries_ = nullptr;
  Entry* spare_ = nullptr;
  size_t capacity_ = 0;
  size_t count_ = 0;
  uint64_t represented_ = 0;  // sums folded away, for the density
  uint64_t written_ = 0;
  uint32_t overflows_ = 0;
  uint32_t ticks_ = 0;
  bool stopped_ = false;
};

WindowEngine::WindowEngine(const WindowEngineSetup& setup) : setup_(setup) {
  uint64_t bytes = std::max(setup_.memoryBytes, kSmallestBuffer) / 32 * 32;
  for (;;) {
    buffer_.reset(new (std::nothrow) uint64_t[bytes / 8]);
    if (buffer_ != nullptr || bytes <= (uint64_t{1} << 20)) break;
    bytes = bytes / 2 / 32 * 32;
  }
  if (buffer_ == nullptr) buffer_.reset(new uint64_t[bytes / 8]);
  bufferBytes_ = static_cast<size_t>(bytes);

  const uint32_t stride = setup_.stride;
  narrowPowers_.resize(setup_.end);
  if (stride > 4) residues_.resize(setup_.end);
  for (uint32_t x = 0; x < setup_.end; ++x) {
    const uint32_t* entry = setup_.powers + static_cast<size_t>(x) * stride;
    narrowPowers_[x] = (entry[2] | entry[3]) != 0
                           ? UINT64_MAX
                           : (static_cast<uint64_t>(entry[1]) << 32) | entry[0];
    if (stride > 4) residues_[x] = entry[4];
  }
}

WindowEngine::~WindowEngine() = default;

U128 WindowEngine::PlanWindow(const U128& low, const U128& high) {
  if (!Less128(low, high)) return high;
  const double rest = DoubleOf(high) - DoubleOf(low);
  double width = rest;
  if (density_ > 0) {
    width = std::min(rest, kPlannedFill * static_cast<double>(NarrowCapacity()) / density_);
    // A window past 64 bits or wider than a narrow entry holds takes wide entries.
    if (!(DoubleOf(low) + width < std::ldexp(1.0, 64) - 2 &&
          width <= std::ldexp(1.0, kNarrowOffsetBits))) {
      width = std::min(rest, kPlannedFill * static_cast<double>(WideCapacity()) / density_);
    }
  } else if (lastWidth_ > 0) {
    width = std::min(width, lastWidth_ * kEmptyWindowGrowth);
  }
  width = std::max(width, 1.0);
  U128 ceiling = low;
  if (Add128(ceiling, U128OfDouble(width)) || Less128(high, ceiling)) return high;
  if (!Less128(low, ceiling)) Add128(ceiling, U128::Of(1));
  return ceiling;
}

U128 WindowEngine::Search(const U128& low, const U128& highest,
                          const std::function<void(const CollisionLine&)>& sink) {
  lines_.clear();
  lastSums_ = 0;
  lastOverflows_ = 0;
  if (!Less128(low, highest) || setup_.end < 2) return highest;
  // Offsets in the window must fit their entries.
  U128 ceiling = highest;
  U128 widest = low;
  const bool wideCarry = Add128(widest, U128OfDouble(std::ldexp(1.0, kWideOffsetBits)));
  if (!wideCarry && Less128(widest, ceiling)) ceiling = widest;
  const bool narrow = High64(ceiling) == 0 && Low64(ceiling) != UINT64_MAX &&
                      Low64(ceiling) - Low64(low) <= (uint64_t{1} << kNarrowOffsetBits);

  const bool filtered = setup_.stride > 4;
  U128 reached = low;
  bool done = false;
  if (narrow) {
    const uint64_t lo = Low64(low), hi = Low64(ceiling);
    if (filtered) {
      WindowPass<uint64_t, uint64_t, true> pass(*this, narrowPowers_.data(), lo, hi);
      done = pass.Run();
      reached = U128Of(pass.Ceiling());
    } else {
      WindowPass<uint64_t, uint64_t, false> pass(*this, narrowPowers_.data(), lo, hi);
      done = pass.Run();
      reached = U128Of(pass.Ceiling());
    }
  } else {
    if (widePowers_.empty()) {
      widePowers_.resize(setup_.end);
      for (uint32_t x = 0; x < setup_.end; ++x) {
        widePowers_[x] = PairOf(PowerEntry(setup_.powers + static_cast<size_t>(x) * setup_.stride));
      }
    }
    if (filtered) {
      WindowPass<U64Pair, WideEntry, true> pass(*this, widePowers_.data(), PairOf(low),
                                                PairOf(ceiling));
      done = pass.Run();
      reached = U128Of(pass.Ceiling());
    } else {
      WindowPass<U64Pair, WideEntry, false> pass(*this, widePowers_.data(), PairOf(low),
                                                 PairOf(ceiling));
      done = pass.Run();
      reached = U128Of(pass.Ceiling());
    }
  }
  if (!done) {
    lines_.clear();
    return low;
  }
  std::stable_sort(lines_.begin(), lines_.end(), [](const CollisionLine& a, const CollisionLine& b) {
    return Less128(a.value, b.value);
  });
  for (const CollisionLine& line : lines_) sink(line);
  lines_.clear();
  return reached;
}

}  // namespace aequa
