#pragma once
// The four kernel families and where their fields lie in a powers-table entry and in the
// path frames, in words, for a word count W.
#include <cstdint>

#include "compute/multiword.h"

namespace aequa {

enum class KernelFamily : uint32_t { PlainSingle = 0, PlainMulti = 1, SieveSingle = 2, SieveMulti = 3 };
inline constexpr int kFamilyCount = 4;

constexpr bool IsMultiFamily(KernelFamily f) {
  return f == KernelFamily::PlainMulti || f == KernelFamily::SieveMulti;
}
constexpr bool IsSieveFamily(KernelFamily f) {
  return f == KernelFamily::SieveSingle || f == KernelFamily::SieveMulti;
}

// Words of a table entry beyond the W words of the power.
constexpr int EntryExtraWords(KernelFamily f) {
  return f == KernelFamily::PlainSingle ? 0 : f == KernelFamily::SieveMulti ? 3 : 1;
}

template <KernelFamily F, int W>
struct Layout {
  // Table entry: value[W], then useCount (multi), residues (sieve), valueMod (SieveMulti).
  static int Entry() { return WordCount<W>() + EntryExtraWords(F); }
  static int UseCount() { return WordCount<W>(); }
  static int Residues() { return WordCount<W>() + (F == KernelFamily::SieveMulti ? 1 : 0); }
  static int ValueMod() { return WordCount<W>() + 2; }

  // Right frame: bound[W], rest[W], term, residues, restMod.
  static int RightStride() { return 2 * WordCount<W>() + 3; }
  static int RightRest() { return WordCount<W>(); }
  static int RightTerm() { return 2 * WordCount<W>(); }
  static int RightResidues() { return 2 * WordCount<W>() + 1; }
  static int RightRestMod() { return 2 * WordCount<W>() + 2; }

  // Left frame: sum[W], term, residues, sumMod.
  static int LeftStride() { return WordCount<W>() + 3; }
  static int LeftTerm() { return WordCount<W>(); }
  static int LeftResidues() { return WordCount<W>() + 1; }
  static int LeftSumMod() { return WordCount<W>() + 2; }
};

// Residue words: one byte per sieve slot.
inline bool AnyByteNegative(uint32_t residues) { return (residues & 0x80808080u) != 0; }
inline bool HasZeroByte(uint32_t v) { return ((v - 0x01010101u) & ~v & 0x80808080u) != 0; }
inline uint32_t ResidueByte(uint32_t residues, uint32_t slot) {
  return (residues >> (8 * slot)) & 0xFFu;
}

}  // namespace aequa
