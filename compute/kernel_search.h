#pragma once
// The depth-first search of one value x1 for the four kernel families, written once as a
// template over the family and the word count W. The search is recursive; each depth keeps
// its state in the run's path frames. A stop request or a failed check sets `stop_`, and
// every depth returns at once. A resumed search walks down the saved path through the same
// code: each saved depth starts its candidate loop at the saved term, which must pass that
// depth's tests, and the depth after the saved path starts where its poll left it.
#include <cstdint>

#include "compute/build_powers.h"
#include "compute/equal_sums_report.h"
#include "compute/kernel_layout.h"
#include "compute/multiword.h"
#include "compute/path_frames.h"
#include "compute/powers_table.h"
#include "compute/run_state.h"
#include "compute/sieve.h"
#include "core/shared_words.h"

namespace aequa {

template <KernelFamily F, int W>
class KernelSearch {
 public:
  explicit KernelSearch(EqualSumsRun& run) : run_(run) {}
  void Run();

 private:
  using L = Layout<F, W>;
  static constexpr bool kMulti = IsMultiFamily(F);
  static constexpr bool kSieve = IsSieveFamily(F);

  // Internal-error codes of a resume that cannot rebuild the saved path.
  static constexpr int kResumeNotPlaced = F == KernelFamily::PlainSingle   ? 504
                                          : F == KernelFamily::SieveSingle ? 801
                                                                           : 408;
  static constexpr int kResumeNoSlot = F == KernelFamily::PlainSingle   ? 502
                                       : F == KernelFamily::PlainMulti  ? 405
                                       : F == KernelFamily::SieveSingle ? 401
                                                                        : 408;

  // Table entries (the strides are constants for a fixed W).
  const uint32_t* Value(uint32_t y) const { return table_ + static_cast<size_t>(y) * L::Entry(); }
  uint32_t& UseCount(uint32_t y) { return table_[static_cast<size_t>(y) * L::Entry() + L::UseCount()]; }
  uint32_t Residues(uint32_t y) const {
    return table_[static_cast<size_t>(y) * L::Entry() + L::Residues()];
  }
  uint32_t ValueMod(uint32_t y) const {
    return table_[static_cast<size_t>(y) * L::Entry() + L::ValueMod()];
  }

  // Right frames.
  uint32_t* Frame(uint32_t d) { return right_ + static_cast<size_t>(d) * L::RightStride(); }
  uint32_t* Bound(uint32_t d) { return Frame(d); }
  uint32_t* Rest(uint32_t d) { return Frame(d) + L::RightRest(); }
  uint32_t& Term(uint32_t d) { return Frame(d)[L::RightTerm()]; }
  uint32_t& FrameResidues(uint32_t d) { return Frame(d)[L::RightResidues()]; }
  uint32_t& RestMod(uint32_t d) { return Frame(d)[L::RightRestMod()]; }

  // Left frames.
  uint32_t* LeftFrame(uint32_t i) { return left_ + static_cast<size_t>(i) * L::LeftStride(); }
  uint32_t* Sum(uint32_t i) { return LeftFrame(i); }
  uint32_t& LeftTerm(uint32_t i) { return LeftFrame(i)[L::LeftTerm()]; }
  uint32_t& LeftResidues(uint32_t i) { return LeftFrame(i)[L::LeftResidues()]; }
  uint32_t& LeftSumMod(uint32_t i) { return LeftFrame(i)[L::LeftSumMod()]; }

  int32_t Slots(uint32_t d) const {
    return static_cast<int32_t>(run_.searchLimit) - static_cast<int32_t>(d);
  }
  void Fail(int32_t code) {
    run_.control.internalError.store(code);
    stop_ = true;
  }
  // A saved path that cannot be rebuilt: the checkpoint does not fit the search.
  void FailResume(int32_t code) {
    run_.resumeRejected = 1;
    Fail(code);
  }
  // True when the depth must be left: a failed check, a halt or the end of a slice.
  bool Poll(uint32_t d);
  // Copies the left terms and right terms 1..count into the path (and the resume path).
  bool FillPath(uint32_t count, bool progress, int32_t positionCode);
  void Result(uint32_t d);
  bool Verify(uint32_t d);

  // The largest y <= hi whose power is at most `target` (0 when none): candidates above it
  // would only fail their subtraction. The powers grow with y, so a binary search finds it.
  [[gnu::always_inline]] uint32_t LargestAtMost(const uint32_t* target, uint32_t hi) const;
  [[gnu::always_inline]] void FinalScan(uint32_t d, uint32_t first);
  void PlainDepthOne(bool resuming);
  void Ordinary(uint32_t d, uint32_t first, bool resuming);
  void PrimeStep(uint32_t d, bool resuming);                      // SieveSingle
  void SieveMultiDepth(uint32_t d, uint32_t first, bool resuming);  // SieveMulti
  void LeftTermLoop(uint32_t i, uint32_t first, bool resuming);     // multi families
  void RightSide(bool resuming);                                    // multi families

  // The multiplier that brings a term of depth d back to full size (SieveMulti).
  uint64_t FullSizeFactor(uint32_t d) const;
  bool DivideByStep(uint32_t* r, uint32_t slot);
  bool SlotResidues(const uint32_t* r, int32_t slots, uint32_t& residues);
  bool ResumeLeftTermsValid();

  EqualSumsRun& run_;
  uint32_t* table_ = nullptr;
  uint32_t* right_ = nullptr;
  uint32_t* left_ = nullptr;
  uint32_t x1_ = 0;
  uint32_t m_ = 1;
  uint32_t resumeCount_ = 0;  // right terms of the saved path
  bool stop_ = false;
  uint64_t factorAfter_[5] = {1, 1, 1, 1, 1};  // product of the first i sieve primes
  uint32_t scratch_[kMaxWords];
  uint32_t power_[kMaxWords];
};

template <KernelFamily F, int W>
void KernelSearch<F, W>::Run() {
  run_.searchAbandoned = 0;
  x1_ = run_.currentValue;
  m_ = kMulti ? run_.leftTerms : 1;
  right_ = run_.frames.right();
  left_ = run_.frames.left();
  // Frames for every depth the limit allows, at this width.
  if (right_ == nullptr || left_ == nullptr || run_.frames.frameWords < static_cast<uint32_t>(WordCount<W>()) ||
      run_.searchLimit > run_.frames.rightFrames || run_.searchLimit < 2 || m_ == 0 ||
      (kMulti && m_ > run_.frames.leftFrames) || run_.searchLimit - 1 > kDepthCapacity ||
      static_cast<uint64_t>(m_) + run_.searchLimit > kPathCapacity + 1) {
    Fail(3);
    return;
  }
  if (!BuildPowersFor<F, W>(run_, x1_)) return;
  table_ = run_.powers.begin();
  for (uint32_t i = 0; i < 4; ++i) {
    factorAfter_[i + 1] = factorAfter_[i] * (i < run_.sieve.count ? run_.sieve.primes[i] : 1);
  }

  bool resuming = run_.resumed != 0;
  resumeCount_ = resuming ? run_.pathTermCount : 0;
  if (resuming) {
    if (static_cast<uint64_t>(m_) + resumeCount_ > kPathCapacity) {
      FailResume(2);
      return;
    }
    if (F == KernelFamily::SieveSingle && resumeCount_ >= run_.searchLimit) {
      FailResume(401);
      return;
    }
    if (!ResumeLeftTermsValid()) {
      FailResume(2);
      return;
    }
    if constexpr (F == KernelFamily::SieveMulti) {
      // A saved combination of left terms that the search would skip: search afresh.
      uint32_t residues = 0;
      for (uint32_t i = 0; i < m_; ++i) residues += Residues(run_.resumeTerms[i]);
      if (HasZeroByte(residues | run_.sieve.mask)) resuming = false;
    }
  }
  if (x1_ < 2) return;

  if constexpr (F == KernelFamily::PlainSingle) {
    Term(0) = x1_;
    CopyWords<W>(Rest(0), Value(x1_));
    PlainDepthOne(resuming);
  } else if constexpr (F == KernelFamily::SieveSingle) {
    Term(0) = x1_;
    CopyWords<W>(Rest(0), Value(x1_));
    FrameResidues(0) = Residues(x1_);
    // x1 divisible by an active prime: every solution is a multiple of a smaller one.
    if (HasZeroByte(FrameResidues(0) | run_.sieve.mask)) return;
    PrimeStep(1, resuming);
  } else {
    UseCount(x1_) += 1;
    LeftTerm(0) = x1_;
    CopyWords<W>(Sum(0), Value(x1_));
    if constexpr (kSieve) {
      LeftResidues(0) = Residues(x1_);
      LeftSumMod(0) = ValueMod(x1_);
    }
    if (m_ == 1) {
      RightSide(resuming);
    } else {
      LeftTermLoop(1, x1_, resuming);
    }
    if (stop_) return;
    UseCount(x1_) -= 1;
    for (uint32_t x = 0; x <= x1_; ++x) {
      if (UseCount(x) != 0) {
        Fail(57);
        return;
      }
    }
  }
}

template <KernelFamily F, int W>
bool KernelSearch<F, W>::ResumeLeftTermsValid() {
  if (run_.resumeTerms[0] != x1_) return false;
  for (uint32_t i = 1; i < m_; ++i) {
    if (run_.resumeTerms[i] == 0 || run_.resumeTerms[i] > run_.resumeTerms[i - 1]) return false;
  }
  return true;
}

template <KernelFamily F, int W>
bool KernelSearch<F, W>::Poll(uint32_t d) {
  const uint32_t flags = run_.control.requests.load(std::memory_order_relaxed);
  if (flags == 0) return false;
  if (!FillPath(d - 1, true, 3)) return true;
  ReportProgress(run_);
  if ((flags & (REQ_HALT | REQ_SLICE)) != 0) {
    stop_ = true;
    run_.searchAbandoned = 1;
    return true;
  }
  return false;
}

template <KernelFamily F, int W>
bool KernelSearch<F, W>::FillPath(uint32_t count, bool progress, int32_t positionCode) {
  if (static_cast<uint64_t>(m_) + count > kPathCapacity || count >= run_.frames.rightFrames) {
    Fail(positionCode);
    return false;
  }
  uint32_t at = 0;
  if constexpr (kMulti) {
    for (uint32_t i = 0; i < m_; ++i) run_.pathTerms[at++] = LeftTerm(i);
  } else {
    run_.pathTerms[at++] = x1_;
  }
  for (uint32_t d = 1; d <= count; ++d) {
    const uint32_t term = Term(d);
    if (term > x1_) {
      Fail(1);
      return false;
    }
    run_.pathTerms[at++] = term;
  }
  run_.pathTermCount = count;
  if (progress) {
    for (uint32_t i = 0; i < at; ++i) run_.resumeTerms[i] = run_.pathTerms[i];
  }
  return true;
}

template <KernelFamily F, int W>
void KernelSearch<F, W>::Result(uint32_t d) {
  if (!FillPath(d, false, 4)) return;
  if constexpr (kSieve) {
    // Terms placed after a prime step were searched divided by its prime.
    for (uint32_t slot = 0; slot < run_.sieve.count; ++slot) {
      const uint32_t firstDepth = F == KernelFamily::SieveSingle ? slot + 2 : m_ + slot + 1;
      for (uint32_t depth = firstDepth; depth <= d; ++depth) {
        run_.pathTerms[m_ + depth - 1] *= run_.sieve.primes[slot];
      }
    }
  }
  if (!Verify(d)) return;
  ReportNewResult(run_);
}

// Confirms a solution from the table (or, for SieveMulti, from powers computed afresh).
template <KernelFamily F, int W>
bool KernelSearch<F, W>::Verify(uint32_t d) {
  const uint32_t* right = run_.pathTerms + m_;
  if constexpr (F == KernelFamily::PlainSingle || F == KernelFamily::PlainMulti) {
    CopyWords<W>(scratch_, Rest(0));
    for (uint32_t i = 0; i < d; ++i) {
      if (Sub<W>(scratch_, Value(right[i]), scratch_)) {
        Fail(5);
        return false;
      }
    }
  } else if constexpr (F == KernelFamily::SieveSingle) {
    CopyWords<W>(scratch_, Value(x1_));
    for (uint32_t i = 0; i < d; ++i) {
      if (right[i] > x1_) {
        Fail(2);
        return false;
      }
      if (Sub<W>(scratch_, Value(right[i]), scratch_)) {
        Fail(6);
        return false;
      }
    }
  } else {
    SetSmall<W>(scratch_, 0);
    for (uint32_t i = 0; i < m_; ++i) {
      if (Add<W>(scratch_, Value(run_.pathTerms[i]), scratch_)) {
        Fail(6);
        return false;
      }
    }
    for (uint32_t i = 0; i < d; ++i) {
      SetSmall<W>(power_, right[i]);
      for (uint32_t j = 1; j < run_.power; ++j) {
        if (MulSmall<W>(power_, right[i])) {
          Fail(301);
          return false;
        }
      }
      if (Sub<W>(scratch_, power_, scratch_)) {
        Fail(6);
        return false;
      }
    }
  }
  if (!IsZero<W>(scratch_)) {
    Fail(6);
    return false;
  }
  return true;
}

template <KernelFamily F, int W>
inline uint32_t KernelSearch<F, W>::LargestAtMost(const uint32_t* target, uint32_t hi) const {
  if (!Less<W>(target, Value(hi))) return hi;
  // Gallop down from hi (usually the answer is close), then halve the last gap.
  uint32_t step = 1;
  uint32_t lo = 0;  // value(lo) <= target < value(hi); value(0) is 0
  for (;;) {
    const uint32_t probe = hi > step ? hi - step : 0;
    if (probe == 0 || !Less<W>(target, Value(probe))) {
      lo = probe;
      break;
    }
    hi = probe;
    step <<= 1;
  }
  // Halving without a branch on the comparison, whose outcome cannot be predicted.
  uint32_t base = lo;
  uint32_t length = hi - lo;  // the answer lies in [base, base + length)
  while (length > 1) {
    const uint32_t half = length / 2;
    const uint32_t above = 0u - static_cast<uint32_t>(Less<W>(target, Value(base + half)));
    base += half & ~above;
    length -= half;
  }
  return base;
}

// The last right term: the candidate whose power equals what is left. Scanning down from
// `first`, the first power not above the rest decides, so it is looked up directly.
template <KernelFamily F, int W>
inline void KernelSearch<F, W>::FinalScan(uint32_t d, uint32_t first) {
  const uint32_t* target = Rest(d - 1);
  const uint32_t y = LargestAtMost(target, first);
  if (y >= 1 && Compare<W>(Value(y), target) == 0) {
    Term(d) = y;
    Result(d);
  }
}

// Depth 1 of the plain families: the largest right term, at least the average of the slots.
template <KernelFamily F, int W>
void KernelSearch<F, W>::PlainDepthOne(bool resuming) {
  // Entered once per combination of left terms: it polls even where the right side gives up
  // at once (more left terms than the right terms can balance), or the left-term loop would
  // never notice a stop.
  if (!resuming && Poll(1)) return;
  bool resumeHere = resuming && resumeCount_ >= 1;
  uint32_t y = x1_ - 1;
  if (resumeHere) {
    if (run_.resumeTerms[m_] == 0 || run_.resumeTerms[m_] > y) return FailResume(kResumeNotPlaced);
    y = run_.resumeTerms[m_];
  }
  for (; y >= 1; --y) {
    if constexpr (kMulti) {
      if (UseCount(y) != 0) {
        if (resumeHere) return FailResume(kResumeNotPlaced);
        continue;
      }
    }
    const int32_t slots = Slots(1);
    if (slots <= 0) {
      if (resumeHere) FailResume(kResumeNoSlot);
      return;
    }
    DivSmall<W>(Rest(0), static_cast<uint32_t>(slots), Bound(1));
    if (Less<W>(Value(y), Bound(1))) {
      if (resumeHere) FailResume(kResumeNotPlaced);
      return;
    }
    if (Sub<W>(Rest(0), Value(y), Rest(1))) return Fail(7);
    Term(1) = y;
    Ordinary(2, y, resumeHere);
    if (stop_) return;
    resumeHere = false;
  }
}

template <KernelFamily F, int W>
uint64_t KernelSearch<F, W>::FullSizeFactor(uint32_t d) const {
  if (d <= m_) return 1;
  const uint32_t steps = d - m_ < run_.sieve.count ? d - m_ : run_.sieve.count;
  return factorAfter_[steps];
}

// An ordinary depth d >= 2: candidates from `first` down, at least the average of the slots.
template <KernelFamily F, int W>
void KernelSearch<F, W>::Ordinary(uint32_t d, uint32_t first, bool resuming) {
  const bool saved = resuming && d <= resumeCount_;
  if (!resuming) ++run_.depthCounters[d - 1];
  const int32_t slots = Slots(d);
  if (slots <= 1) {
    if (saved) return FailResume(kResumeNoSlot);
    FinalScan(d, first);
    return;
  }
  const uint32_t* prevRest = Rest(d - 1);
  uint32_t* bound = Bound(d);
  uint32_t* rest = Rest(d);
  DivSmall<W>(prevRest, static_cast<uint32_t>(slots), bound);
  if (!resuming && Poll(d)) return;

  bool resumeHere = saved;
  uint32_t y = LargestAtMost(prevRest, first);
  if (resumeHere) {
    if (run_.resumeTerms[m_ + d - 1] == 0 || run_.resumeTerms[m_ + d - 1] > y) {
      return FailResume(kResumeNotPlaced);
    }
    y = run_.resumeTerms[m_ + d - 1];
  }
  [[maybe_unused]] const uint32_t prevResidues = kSieve ? FrameResidues(d - 1) : 0;
  [[maybe_unused]] const uint64_t factor = FullSizeFactor(d);
  for (; y >= 1; --y) {
    if constexpr (kMulti) {
      // A right term may not equal a left term (compared at full size).
      const uint64_t full = y * factor;
      if (full <= x1_ && UseCount(static_cast<uint32_t>(full)) != 0) {
        if (resumeHere) return FailResume(kResumeNotPlaced);
        continue;
      }
    }
    [[maybe_unused]] uint32_t residues = 0;
    if constexpr (kSieve) {
      residues = prevResidues - Residues(y);
      if (AnyByteNegative(residues)) {
        if (resumeHere) return FailResume(kResumeNotPlaced);
        continue;
      }
    }
    const uint32_t* v = Value(y);
    if (Less<W>(v, bound)) {
      if (resumeHere) FailResume(kResumeNotPlaced);
      return;
    }
    if (Sub<W>(prevRest, v, rest)) {
      if (resumeHere) return FailResume(kResumeNotPlaced);
      continue;
    }
    Term(d) = y;
    if constexpr (kSieve) FrameResidues(d) = residues;
    if (IsZero<W>(rest)) {
      if (resumeHere) return FailResume(kResumeNotPlaced);
      Result(d);
      return;
    }
    Ordinary(d + 1, y, resumeHere);
    if (stop_) return;
    resumeHere = false;
  }
}

// Divides r exactly by p^k of a slot; false when it is not a multiple.
template <KernelFamily F, int W>
bool KernelSearch<F, W>::DivideByStep(uint32_t* r, uint32_t slot) {
  const uint32_t step = run_.sieve.step[slot];
  for (uint32_t j = 0; j < run_.sieve.stepCount[slot]; ++j) {
    if (DivSmall<W>(r, step, r) != 0) return false;
  }
  return true;
}

// How many of the remaining terms must be coprime to each prime; false when more than the
// slots left.
template <KernelFamily F, int W>
bool KernelSearch<F, W>::SlotResidues(const uint32_t* r, int32_t slots, uint32_t& residues) {
  residues = 0;
  for (uint32_t i = 0; i < 4; ++i) {
    const uint32_t q = run_.sieve.moduli[i];
    const uint32_t ri = q <= 1 ? 0 : ModSmall<W>(r, q);
    if (static_cast<int64_t>(ri) >= slots) return false;
    residues |= ri << (8 * i);
  }
  return true;
}

// SieveSingle prime step of slot d - 1: places the last term coprime to its prime and
// divides the rest by p^k.
template <KernelFamily F, int W>
void KernelSearch<F, W>::PrimeStep(uint32_t d, bool resuming) {
  const bool saved = resuming && d <= resumeCount_;
  if (!resuming) ++run_.depthCounters[d - 1];
  const int32_t slots = Slots(d);
  if (slots <= 1) {
    if (saved) return FailResume(kResumeNoSlot);
    FinalScan(d, x1_ - 1);
    return;
  }
  if (d > 4) return Fail(901);
  const uint32_t prevResidues = FrameResidues(d - 1);
  const uint32_t* prevRest = Rest(d - 1);
  bool resumeHere = saved;
  uint32_t y = LargestAtMost(prevRest, x1_ - 1);
  if (resumeHere) {
    if (run_.resumeTerms[m_ + d - 1] == 0 || run_.resumeTerms[m_ + d - 1] > y) {
      return FailResume(kResumeNotPlaced);
    }
    y = run_.resumeTerms[m_ + d - 1];
  }
  uint32_t* rest = Rest(d);
  for (; y >= 1; --y) {
    const uint32_t residues = prevResidues - Residues(y);
    uint32_t slotResidues = 0;
    if (AnyByteNegative(residues) || ResidueByte(residues, d - 1) != 0 ||
        Sub<W>(prevRest, Value(y), rest) || !DivideByStep(rest, d - 1) ||
        !SlotResidues(rest, slots, slotResidues)) {
      if (resumeHere) return FailResume(kResumeNotPlaced);
      continue;
    }
    FrameResidues(d) = slotResidues;
    Term(d) = y;
    if (d < 4 && d < run_.sieve.count) {
      PrimeStep(d + 1, resumeHere);
    } else {
      Ordinary(d + 1, x1_ - 1, resumeHere);
    }
    if (stop_) return;
    resumeHere = false;
  }
}

// The other left terms x2..xm, each at most the one before; no pruning.
template <KernelFamily F, int W>
void KernelSearch<F, W>::LeftTermLoop(uint32_t i, uint32_t first, bool resuming) {
  uint32_t x = resuming ? run_.resumeTerms[i] : first;
  for (; x >= 1; --x) {
    if (Add<W>(Sum(i - 1), Value(x), Sum(i))) return resuming ? FailResume(20) : Fail(9);
    if constexpr (kSieve) {
      LeftResidues(i) = LeftResidues(i - 1) + Residues(x);
      uint64_t mod = static_cast<uint64_t>(LeftSumMod(i - 1)) + ValueMod(x);
      if (mod >= run_.sieve.step[0]) mod -= run_.sieve.step[0];
      LeftSumMod(i) = static_cast<uint32_t>(mod);
    }
    UseCount(x) += 1;
    LeftTerm(i) = x;
    if (i + 1 < m_) {
      LeftTermLoop(i + 1, x, resuming);
    } else {
      RightSide(resuming);
    }
    if (stop_) return;
    UseCount(x) -= 1;
    resuming = false;
  }
}

template <KernelFamily F, int W>
void KernelSearch<F, W>::RightSide(bool resuming) {
  const uint32_t last = m_ - 1;
  CopyWords<W>(Rest(0), Sum(last));
  if constexpr (F == KernelFamily::PlainMulti) {
    PlainDepthOne(resuming);
  } else {
    // No left term coprime to an active prime: a multiple of a smaller solution.
    if (HasZeroByte(LeftResidues(last) | run_.sieve.mask)) return;
    FrameResidues(0) = LeftResidues(last);
    RestMod(0) = LeftSumMod(last);
    Term(0) = x1_ - 1;
    SieveMultiDepth(1, x1_ - 1, resuming);
  }
}

// SieveMulti right depths 1..m (ordered, holding every term coprime to the first prime; depth
// m is the prime step of slot 0) and the prime steps of the further slots.
template <KernelFamily F, int W>
void KernelSearch<F, W>::SieveMultiDepth(uint32_t d, uint32_t first, bool resuming) {
  const bool saved = resuming && d <= resumeCount_;
  if (!resuming) ++run_.depthCounters[d - 1];
  // Depth 1 is entered once per combination of left terms: it polls even as the last depth.
  if (d == 1 && !resuming && Poll(d)) return;
  const int32_t slots = Slots(d);
  if (slots <= 1) {
    if (saved) return FailResume(kResumeNoSlot);
    FinalScan(d, x1_ - 1);
    return;
  }
  if (d > 1 && !resuming && Poll(d)) return;
  const uint32_t step = d >= m_ ? d - m_ : 0;
  if (d > m_ && step >= 4) return Fail(48);
  const uint32_t prevResidues = FrameResidues(d - 1);
  const uint32_t prevRestMod = RestMod(d - 1);
  const uint32_t* prevRest = Rest(d - 1);
  bool resumeHere = saved;
  uint32_t y = LargestAtMost(prevRest, first);
  if (resumeHere) {
    if (run_.resumeTerms[m_ + d - 1] == 0 || run_.resumeTerms[m_ + d - 1] > y) {
      return FailResume(kResumeNotPlaced);
    }
    y = run_.resumeTerms[m_ + d - 1];
  }
  uint32_t* rest = Rest(d);
  const uint64_t factor = FullSizeFactor(d);
  // Ordered depths: byte i of what remains may not exceed the ordered slots left plus the
  // prime steps up to slot i.
  const uint32_t t = d <= m_ ? m_ - d : 0;
  for (; y >= 1; --y) {
    const uint64_t full = y * factor;
    bool fits = !(full <= x1_ && UseCount(static_cast<uint32_t>(full)) != 0);
    const uint32_t residues = prevResidues - Residues(y);
    fits = fits && !AnyByteNegative(residues);
    if (fits) {
      if (d <= m_) {
        for (uint32_t i = 0; i < 4; ++i) fits = fits && ResidueByte(residues, i) <= t + i;
      } else {
        fits = ResidueByte(residues, step) == 0;
      }
    }
    if (!fits || Sub<W>(prevRest, Value(y), rest)) {
      if (resumeHere) return FailResume(kResumeNotPlaced);
      continue;
    }
    Term(d) = y;
    if (IsZero<W>(rest)) {
      if (resumeHere) return FailResume(kResumeNotPlaced);
      Result(d);
      return;
    }
    if (d < m_) {
      int64_t mod = static_cast<int64_t>(prevRestMod) - ValueMod(y);
      if (mod < 0) mod += run_.sieve.step[0];
      RestMod(d) = static_cast<uint32_t>(mod);
      FrameResidues(d) = residues;
      SieveMultiDepth(d + 1, y, resumeHere);
    } else {
      if (step >= 4) return Fail(49);
      uint32_t slotResidues = 0;
      const bool restModOk = step != 0 || ValueMod(y) == prevRestMod;
      if (!restModOk || !DivideByStep(rest, step) || !SlotResidues(rest, slots, slotResidues)) {
        if (resumeHere) return FailResume(kResumeNotPlaced);
        continue;
      }
      FrameResidues(d) = slotResidues;
      if (step < 3 && step + 1 < run_.sieve.count) {
        SieveMultiDepth(d + 1, x1_ - 1, resumeHere);
      } else {
        Ordinary(d + 1, x1_ - 1, resumeHere);
      }
    }
    if (stop_) return;
    resumeHere = false;
  }
}

// Runs the kernel of family F at width W on the run.
template <KernelFamily F, int W>
void RunKernel(EqualSumsRun& run) {
  KernelSearch<F, W> search(run);
  search.Run();
}

}  // namespace aequa
