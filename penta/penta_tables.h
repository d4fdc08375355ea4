#pragma once
// The tables every Penta routine reads: fifth-power residues of 0..99999 modulo sixteen
// primes, the replicated fifth-power mark tables and the replicated triple exclusion tables.
// Each Penta search builds its own set when it begins a line and reads it while its routines
// run.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace aequa::penta {

// Every term of a Penta identity lies below this bound.
inline constexpr int32_t kTermLimit = 100000;

inline constexpr int kPrimeCount = 16;
// The sixteen primes p = 1 mod 10 from 11 to 311, in the order the quadruple tests run:
// the largest first, since it rejects the most.
inline constexpr std::array<int32_t, kPrimeCount> kPrimes = {
    311, 281, 271, 251, 241, 211, 191, 181, 151, 131, 101, 71, 61, 41, 31, 11};

// The triple filter uses the last six primes (101, 71, 61, 41, 31, 11), in that order.
inline constexpr int kExclusionCount = 6;
inline constexpr int kFirstExclusionPrime = kPrimeCount - kExclusionCount;

// The internal error stored when a residue table is missing (its allocation failed).
inline constexpr int32_t kMissingTableError = 6001;

struct Tables {
  Tables() = default;
  Tables(const Tables&) = delete;
  Tables& operator=(const Tables&) = delete;
  ~Tables();
  // residues[i][x] = x^5 mod kPrimes[i], for 0 <= x < kTermLimit; null when not allocated.
  // The tables own these blocks.
  std::array<uint32_t*, kPrimeCount> residues{};
  // marks[i][j] = 1 when j mod p is a fifth power modulo p, for 0 <= j < 4p.
  std::array<std::array<uint8_t, 4 * 311>, kPrimeCount> marks{};
  // exclusions[j][s] = 1 when a triple with signed residue sum s (mod p) cannot be completed,
  // for 0 <= s < 3p, p = kPrimes[kFirstExclusionPrime + j].
  std::array<std::array<uint8_t, 3 * 101>, kExclusionCount> exclusions{};
};

// The constant lists the tables are marked from.
std::span<const uint16_t> FifthPowerResidues(int primeIndex);   // {x^5 mod p}
std::span<const uint16_t> ExcludedTripleSums(int exclusionIndex);

// Where the residue tables' memory comes from: new[] unless a test gives one that fails.
using TableAllocator = uint32_t* (*)(size_t entries);

// Builds every table; a residue table whose allocation fails stays null. Returns true when
// all of them exist.
bool BuildTables(Tables& tables, TableAllocator allocate = nullptr);
// Frees every residue table that exists; safe after a partial build and when nothing is built.
void ReleaseTables(Tables& tables);
bool TablesComplete(const Tables& tables);

}  // namespace aequa::penta
