#include "penta/penta_tables.h"

#include <new>

namespace aequa::penta {
namespace {

// The fifth-power residues modulo each prime (0 included): 1 + (p-1)/5 values each.
constexpr uint16_t kFifth11[] = {0, 1, 10};
constexpr uint16_t kFifth31[] = {0, 1, 5, 6, 25, 26, 30};
constexpr uint16_t kFifth41[] = {0, 1, 3, 9, 14, 27, 32, 38, 40};
constexpr uint16_t kFifth61[] = {0, 1, 11, 13, 14, 21, 29, 32, 40, 47, 48, 50, 60};
constexpr uint16_t kFifth71[] = {0, 1, 20, 23, 26, 30, 32, 34, 37, 39, 41, 45, 48, 51, 70};
constexpr uint16_t kFifth101[] = {0, 1, 6, 10, 14, 17, 32, 36, 39, 41, 44, 57, 60, 62, 65, 69, 84, 87, 91, 95, 100};
constexpr uint16_t kFifth131[] = {0, 1, 18, 19, 24, 32, 39, 45, 47, 51, 52, 60, 62, 63, 68, 69, 71, 79, 80, 84, 86, 92, 99, 107, 112, 113, 130};
constexpr uint16_t kFifth151[] = {0, 1, 2, 4, 8, 16, 19, 23, 32, 33, 38, 46, 59, 64, 66, 75, 76, 85, 87, 92, 105, 113, 118, 119, 128, 132, 135, 143, 147, 149, 150};
constexpr uint16_t kFifth181[] = {0, 1, 7, 17, 19, 26, 32, 39, 43, 48, 49, 61, 62, 65, 72, 73, 80, 88, 89, 92, 93, 101, 108, 109, 116, 119, 120, 132, 133, 138, 142, 149, 155, 162, 164, 174, 180};
constexpr uint16_t kFifth191[] = {0, 1, 5, 6, 11, 14, 25, 30, 31, 32, 36, 37, 38, 41, 52, 55, 66, 69, 70, 84, 107, 121, 122, 125, 136, 139, 150, 153, 154, 155, 159, 160, 161, 166, 177, 180, 185, 186, 190};
constexpr uint16_t kFifth211[] = {0, 1, 12, 14, 15, 26, 31, 32, 33, 34, 38, 40, 43, 50, 54, 58, 63, 67, 73, 88, 94, 101, 110, 117, 123, 138, 144, 148, 153, 157, 161, 168, 171, 173, 177, 178, 179, 180, 185, 196, 197, 199, 210};
constexpr uint16_t kFifth241[] = {0, 1, 2, 4, 8, 11, 15, 16, 19, 22, 30, 32, 38, 44, 60, 63, 64, 65, 76, 88, 89, 111, 113, 115, 120, 121, 126, 128, 130, 152, 153, 165, 176, 177, 178, 181, 197, 203, 209, 211, 219, 222, 225, 226, 230, 233, 237, 239, 240};
constexpr uint16_t kFifth251[] = {0, 1, 2, 4, 5, 8, 10, 16, 20, 25, 32, 40, 47, 50, 51, 63, 64, 69, 80, 91, 94, 100, 102, 113, 123, 125, 126, 128, 138, 149, 151, 157, 160, 171, 182, 187, 188, 200, 201, 204, 211, 219, 226, 231, 235, 241, 243, 246, 247, 249, 250};
constexpr uint16_t kFifth271[] = {0, 1, 5, 12, 13, 23, 25, 28, 29, 32, 33, 54, 60, 65, 77, 83, 88, 93, 102, 106, 111, 113, 114, 115, 125, 126, 127, 131, 140, 144, 145, 146, 156, 157, 158, 160, 165, 169, 178, 183, 188, 194, 206, 211, 217, 238, 239, 242, 243, 246, 248, 258, 259, 266, 270};
constexpr uint16_t kFifth281[] = {0, 1, 6, 10, 28, 32, 34, 36, 37, 38, 39, 47, 53, 59, 60, 65, 73, 77, 79, 88, 89, 92, 99, 100, 109, 113, 116, 124, 134, 147, 157, 165, 168, 172, 181, 182, 189, 192, 193, 202, 204, 208, 216, 221, 222, 228, 234, 242, 243, 244, 245, 247, 249, 253, 271, 275, 280};
constexpr uint16_t kFifth311[] = {0, 1, 7, 11, 13, 15, 18, 20, 24, 32, 41, 46, 47, 49, 51, 61, 68, 77, 83, 86, 87, 89, 91, 105, 113, 116, 121, 126, 140, 142, 143, 146, 165, 168, 169, 171, 185, 190, 195, 198, 206, 220, 222, 224, 225, 228, 234, 243, 250, 260, 262, 264, 265, 270, 279, 287, 291, 293, 296, 298, 300, 304, 310};

constexpr std::array<std::span<const uint16_t>, kPrimeCount> kFifthLists = {
    kFifth311, kFifth281, kFifth271, kFifth251, kFifth241, kFifth211, kFifth191, kFifth181,
    kFifth151, kFifth131, kFifth101, kFifth71,  kFifth61,  kFifth41,  kFifth31,  kFifth11};

// Triple sums s that no fifth-power residues D, E complete to s + D = E (for 11 any residue,
// for the others the non-zero ones).
constexpr uint16_t kExcluded101[] = {1,  6,  10, 14, 17, 32, 36, 39, 41, 44,
                                     57, 60, 62, 65, 69, 84, 87, 91, 95, 100};
constexpr uint16_t kExcluded71[] = {1, 20, 23, 26, 30, 32, 34, 37, 39, 41, 45, 48, 51, 70};
constexpr uint16_t kExcluded61[] = {4, 5, 6, 9, 17, 23, 38, 44, 52, 55, 56, 57};
constexpr uint16_t kExcluded41[] = {1,  3,  7,  9,  14, 16, 19, 20,
                                    21, 22, 25, 27, 32, 34, 38, 40};
constexpr uint16_t kExcluded31[] = {3, 8, 9, 13, 14, 15, 16, 17, 18, 22, 23, 28};
constexpr uint16_t kExcluded11[] = {3, 8};

constexpr std::array<std::span<const uint16_t>, kExclusionCount> kExclusionLists = {
    kExcluded101, kExcluded71, kExcluded61, kExcluded41, kExcluded31, kExcluded11};

uint32_t* DefaultAllocator(size_t entries) { return new (std::nothrow) uint32_t[entries]; }

// x^5 mod p for 0 <= x < p, then the period copied up to the term limit.
void FillResidues(uint32_t* table, int32_t p) {
  for (int32_t x = 0; x < p; ++x) {
    const int32_t square = x * x % p;
    table[x] = static_cast<uint32_t>(square * square % p * x % p);
  }
  for (int32_t x = p; x < kTermLimit; ++x) table[x] = table[x - p];
}

}  // namespace

Tables::~Tables() { ReleaseTables(*this); }

std::span<const uint16_t> FifthPowerResidues(int primeIndex) { return kFifthLists[primeIndex]; }
std::span<const uint16_t> ExcludedTripleSums(int exclusionIndex) {
  return kExclusionLists[exclusionIndex];
}

bool BuildTables(Tables& tables, TableAllocator allocate) {
  if (allocate == nullptr) allocate = &DefaultAllocator;
  ReleaseTables(tables);
  for (int i = 0; i < kPrimeCount; ++i) {
    const int32_t p = kPrimes[i];
    uint32_t* table = allocate(static_cast<size_t>(kTermLimit));
    if (table != nullptr) FillResidues(table, p);
    tables.residues[i] = table;
    auto& marks = tables.marks[i];
    marks.fill(0);
    for (uint16_t r : kFifthLists[i]) {
      for (int copy = 0; copy < 4; ++copy) marks[copy * p + r] = 1;
    }
  }
  for (int j = 0; j < kExclusionCount; ++j) {
    const int32_t p = kPrimes[kFirstExclusionPrime + j];
    auto& excluded = tables.exclusions[j];
    excluded.fill(0);
    for (uint16_t s : kExclusionLists[j]) {
      for (int copy = 0; copy < 3; ++copy) excluded[copy * p + s] = 1;
    }
  }
  return TablesComplete(tables);
}

void ReleaseTables(Tables& tables) {
  for (uint32_t*& table : tables.residues) {
    delete[] table;
    table = nullptr;
  }
}

bool TablesComplete(const Tables& tables) {
  for (const uint32_t* table : tables.residues) {
    if (table == nullptr) return false;
  }
  return true;
}

}  // namespace aequa::penta
