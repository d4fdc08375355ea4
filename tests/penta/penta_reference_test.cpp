// The routines against an independent enumeration of each type, written from the type
// descriptions: the same b, c and d, tested with x^5 mod p computed directly. With all sixteen
// primes active a candidate is rare, so most primes' mark tables are switched off (all ones)
// and only 11 and two others are tested; the pairs rotate so every prime's lookups are used.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/shared_words.h"
#include "penta/penta_search.h"
#include "penta/penta_tables.h"

namespace aequa::penta {
namespace {

std::vector<std::string> found;
void Collect(const char* text) { found.emplace_back(text); }

int64_t PowMod5(int64_t x, int64_t p) {
  int64_t r = 1;
  for (int i = 0; i < 5; ++i) r = r * (x % p) % p;
  return r;
}

// Per prime, computed from the definitions: x^5 mod p, whether r is a fifth power, and whether
// a triple sum s is excluded (no fifth powers D, E - non-zero ones, except for 11 - with
// s + D = E mod p).
struct PrimeFacts {
  std::vector<int64_t> fifth;
  std::vector<bool> isFifth;
  std::vector<bool> excluded;
};
const PrimeFacts& Facts(int64_t p) {
  static std::vector<PrimeFacts> cache(312);
  PrimeFacts& f = cache[p];
  if (!f.fifth.empty()) return f;
  f.fifth.resize(p);
  f.isFifth.assign(p, false);
  f.excluded.assign(p, true);
  for (int64_t x = 0; x < p; ++x) f.isFifth[f.fifth[x] = PowMod5(x, p)] = true;
  const int64_t from = p == 11 ? 0 : 1;
  for (int64_t d = from; d < p; ++d) {
    for (int64_t e = from; e < p; ++e) f.excluded[((f.fifth[e] - f.fifth[d]) % p + p) % p] = false;
  }
  return f;
}
int64_t Residue(int64_t x, int64_t p) { return Facts(p).fifth[x % p]; }
bool IsFifthPower(int64_t s, int64_t p) { return Facts(p).isFifth[((s % p) + p) % p]; }
bool TripleExcluded(int64_t s, int64_t p) { return Facts(p).excluded[((s % p) + p) % p]; }

struct RefLoop {
  int sd;
  std::string rule;  // "5" (5-adic) or a 2-adic rule name
  int64_t step;
  std::set<int64_t> untested;
  const char* label;
};
struct RefType {
  std::function<bool(int64_t)> aOk;
  std::function<int64_t(int64_t)> bFirst;
  int64_t bStep;
  std::function<bool(int64_t, int64_t)> bIn;  // (a, b)
  std::function<int64_t(int64_t)> cFirst;
  int64_t cStep;
  std::function<bool(int64_t, int64_t, int64_t)> cIn;  // (a, b, c)
  int sb, sc;
  std::vector<RefLoop> loops;
};

int64_t Odd5(int64_t v) { return v % 2 == 0 ? v + 5 : v; }

std::vector<RefType> Descriptions(int64_t limit) {
  auto below = [limit](int64_t, int64_t b) { return b < limit; };
  auto cBelow = [limit](int64_t, int64_t, int64_t c) { return c < limit; };
  auto even = [](int64_t a) { return a % 2 == 0; };
  auto odd = [](int64_t a) { return a % 2 == 1; };
  auto m0 = [](int64_t a) { return a % 4 == 0; };
  auto m2 = [](int64_t a) { return a % 4 == 2; };
  auto minusA5 = [](int64_t a) { return Odd5(5 - a % 5); };
  auto plusA5 = [](int64_t a) { return Odd5(a % 5); };
  auto b12 = [](int64_t a) { int64_t b = 10 - a % 20; return b < 0 ? b + 20 : b; };
  auto b13 = [](int64_t a) { return 20 - a % 20; };
  auto one = [](int64_t) { return int64_t{1}; };
  auto two = [](int64_t) { return int64_t{2}; };
  auto atMostA = [](int64_t a, int64_t b) { return b <= a; };
  auto belowA = [](int64_t a, int64_t b) { return b < a; };
  const std::set<int64_t> all;
  const std::set<int64_t> no311{311}, no281271{281, 271}, no3{311, 281, 271};
  std::vector<RefType> t(21);
  t[0] = {even, minusA5, 10, below, [](int64_t b) { return 32 - b % 32; }, 32,
          [](int64_t, int64_t b, int64_t c) { return c <= b; }, +1, +1,
          {{-1, "5", 1250, all, "Penta0: %8ld^5 + %8ld^5 + %8ld^5 - %8ld^5"},
           {+1, "5", 1250, all, "Penta0: %8ld^5 + %8ld^5 + %8ld^5 + %8ld^5"}}};
  t[1] = {even, minusA5, 10, below, [](int64_t b) { return b % 32; }, 32,
          cBelow, +1, -1,
          {{+1, "5", 1250, all, "Penta1: %8ld^5 + %8ld^5 - %8ld^5 + %8ld^5"},
           {-1, "5", 1250, all, "Penta1: %8ld^5 + %8ld^5 - %8ld^5 - %8ld^5"}}};
  t[2] = {odd, [](int64_t a) { return 160 - a % 160; }, 160, atMostA, two, 2, cBelow, +1, +1,
          {{-1, "5", 1250, all, "Penta2: %8ld^5 + %8ld^5 + %8ld^5 - %8ld^5"},
           {+1, "5", 1250, all, "Penta2: %8ld^5 + %8ld^5 + %8ld^5 + %8ld^5"}}};
  t[3] = {odd, [](int64_t a) { return 160 - a % 160; }, 160, atMostA, two, 2, cBelow, +1, -1,
          {{-1, "5", 1250, no281271, "Penta3: %8ld^5 + %8ld^5 - %8ld^5 - %8ld^5"}}};
  t[4] = {odd, minusA5, 10, atMostA, one, 2,
          [](int64_t, int64_t b, int64_t c) { return c < b; }, +1, +1,
          {{+1, "5", 20000, no311, "Penta4: %8ld^5 + %8ld^5 + %8ld^5 + %8ld^5"}}};
  t[5] = {odd, minusA5, 10, atMostA, one, 2, cBelow, +1, -1,
          {{-1, "5", 20000, all, "Penta5: %8ld^5 + %8ld^5 - %8ld^5 - %8ld^5"}}};
  t[6] = {even, plusA5, 10, below, [](int64_t b) { return b % 32; }, 32,
          [](int64_t, int64_t b, int64_t c) { return c < b; }, -1, +1,
          {{-1, "5", 1250, all, "Penta6: %8ld^5 - %8ld^5 + %8ld^5 - %8ld^5"}}};
  t[7] = {odd, minusA5, 10, atMostA, one, 2, cBelow, +1, +1,
          {{-1, "5", 20000, no311, "Penta7: %8ld^5 + %8ld^5 + %8ld^5 - %8ld^5"}}};
  t[8] = {even, plusA5, 10, below, [](int64_t b) { return 32 - b % 32; }, 32,
          [](int64_t, int64_t b, int64_t c) { return c <= b; }, -1, -1,
          {{+1, "5", 1250, all, "Penta8: %8ld^5 - %8ld^5 - %8ld^5 + %8ld^5"}}};
  t[9] = {odd, [](int64_t a) { return a % 160; }, 160, belowA, two, 2, cBelow, -1, +1,
          {{-1, "5", 1250, all, "Penta9: %8ld^5 - %8ld^5 + %8ld^5 - %8ld^5"}}};
  t[10] = {odd, plusA5, 10, belowA, one, 2, cBelow, -1, +1,
           {{-1, "5", 20000, no311, "Penta10: %8ld^5 - %8ld^5 + %8ld^5 - %8ld^5"}}};
  t[11] = {odd, [](int64_t a) { return a % 160; }, 160, below, two, 2, cBelow, -1, +1,
           {{+1, "5", 1250, all, "Penta11: %8ld^5 - %8ld^5 + %8ld^5 + %8ld^5"}}};
  t[12] = {m0, b12, 20, below, one, 2, cBelow, +1, +1,
           {{+1, "M32", 160, all, "Penta12: %8ld^5 + %8ld^5 + %8ld^5 + %8ld^5"}}};
  t[13] = {m0, b13, 20, belowA, one, 2, cBelow, +1, +1,
           {{+1, "M64", 320, all, "Penta13: %8ld^5 + %8ld^5 + %8ld^5 + %8ld^5 "},
            {+1, "M1024", 5120, all, "Penta13: %8ld^5 + %8ld^5 + %8ld^5 + %8ld^5 "}}};
  t[14] = {m2, b13, 20, belowA, one, 2, cBelow, +1, +1,
           {{+1, "M32", 160, all, "Penta14: %8ld^5 + %8ld^5 + %8ld^5 + %8ld^5"}}};
  t[15] = {m0, b12, 20, below, one, 2, cBelow, +1, +1,
           {{-1, "P32", 160, all, "Penta15: %8ld^5 + %8ld^5 + %8ld^5 - %8ld^5"}}};
  t[16] = {m0, b13, 20, belowA, one, 2, cBelow, +1, +1,
           {{-1, "P64", 320, all, "Penta16: %8ld^5 + %8ld^5 + %8ld^5 - %8ld^5"},
            {-1, "P1024", 5120, no3, "Penta16: %8ld^5 + %8ld^5 + %8ld^5 - %8ld^5"}}};
  t[17] = {m2, b13, 20, belowA, one, 2, cBelow, +1, +1,
           {{-1, "P64", 160, all, "Penta17: %8ld^5 + %8ld^5 + %8ld^5 - %8ld^5"}}};
  t[18] = {m0, b12, 20, below, one, 2, cBelow, +1, -1,
           {{+1, "P32", 160, all, "Penta18: %8ld^5 + %8ld^5 - %8ld^5 + %8ld^5"}}};
  t[19] = {m0, b13, 20, belowA, one, 2, cBelow, +1, -1,
           {{+1, "P64", 320, all, "Penta19: %8ld^5 + %8ld^5 - %8ld^5 + %8ld^5"},
            {+1, "P1024", 5120, no3, "Penta19: %8ld^5 + %8ld^5 - %8ld^5 + %8ld^5"}}};
  t[20] = {m2, b13, 20, belowA, one, 2, cBelow, +1, -1,
           {{+1, "P64", 160, all, "Penta20: %8ld^5 + %8ld^5 - %8ld^5 + %8ld^5"}}};
  return t;
}

int64_t Fifth3125(int64_t x) {
  static std::vector<int64_t> table;
  if (table.empty()) {
    for (int64_t y = 0; y < 625; ++y) table.push_back(PowMod5(y, 3125));
  }
  return table[x % 625];
}

// The smallest d of a loop's class, found by trying candidates.
int64_t FirstD(const RefLoop& loop, int64_t a, int64_t b, int64_t c, int sb, int sc) {
  if (loop.rule == "5") {
    const int64_t s = Fifth3125(a) + sb * Fifth3125(b) + sc * Fifth3125(c);
    const int64_t lin = a + sb * b + sc * c;
    for (int64_t d = 0; d < 625; ++d) {
      if ((s + loop.sd * Fifth3125(d)) % 3125 != 0) continue;
      for (int64_t x = d; x < loop.step; x += 625) {
        if (loop.step == 1250 ? x % 2 == 0 : ((lin + loop.sd * x) % 32 + 32) % 32 == 0) return x;
      }
    }
    return -1;
  }
  int64_t modulus = 32, residue = 0;
  if (loop.rule == "M32") residue = -c;
  if (loop.rule == "P32") residue = c;
  if (loop.rule == "M64") modulus = 64, residue = 32 - c;
  if (loop.rule == "P64") modulus = 64, residue = c - 32;
  if (loop.rule == "M1024") modulus = 1024, residue = -c;
  if (loop.rule == "P1024") modulus = 1024, residue = c;
  if (loop.step == 160) modulus = 32;  // a step of 160 keeps only the residue mod 32
  for (int64_t d = 0; d < loop.step; d += 5) {
    if (((d - residue) % modulus + modulus) % modulus == 0) return d;
  }
  return -1;
}

std::vector<std::string> Reference(int type, int64_t a, int64_t limit,
                                   const std::set<int64_t>& active) {
  const RefType t = Descriptions(limit)[type];
  std::vector<std::string> out;
  if (a % 5 == 0 || !t.aOk(a)) return out;
  const int64_t exclusionPrimes[] = {101, 71, 61, 41, 31, 11};
  for (int64_t b = t.bFirst(a); t.bIn(a, b); b += t.bStep) {
    for (int64_t c = t.cFirst(b); t.cIn(a, b, c); c += t.cStep) {
      if (c % 5 == 0) continue;
      if (type == 1 && c == b) continue;
      bool excluded = false;
      for (int64_t p : exclusionPrimes) {
        excluded = excluded ||
                   TripleExcluded(Residue(a, p) + t.sb * Residue(b, p) + t.sc * Residue(c, p), p);
      }
      if (excluded) continue;
      for (const RefLoop& loop : t.loops) {
        if (type == 1 && loop.sd < 0 && !(c < b)) continue;
        if (type == 2 && loop.sd > 0) {
          int64_t seed = 25 - (a + b + c) % 25;
          if (seed % 2 != 0) seed += 25;
          if (seed > c) continue;
        }
        const int64_t end = type == 11 ? c : limit;
        for (int64_t d = FirstD(loop, a, b, c, t.sb, t.sc); d >= 0 && d < end; d += loop.step) {
          if (type == 0 && loop.sd < 0 && d == a) continue;
          if (type == 10 && d == b) continue;
          bool candidate = true;
          for (int64_t p : active) {
            if (loop.untested.count(p)) continue;
            const int64_t s = Residue(a, p) + t.sb * Residue(b, p) + t.sc * Residue(c, p) +
                              loop.sd * Residue(d, p);
            candidate = candidate && IsFifthPower(s, p);
          }
          if (!candidate) continue;
          char text[128];
          std::snprintf(text, sizeof text, loop.label, static_cast<long>(a),
                        static_cast<long>(b), static_cast<long>(c), static_cast<long>(d));
          out.emplace_back(text);
        }
      }
    }
  }
  return out;
}

class Reference : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(BuildTables(run.tables));
    run.sink = &Collect;
  }
  // Leaves the mark tables of 11 and the given primes as built; all others accept everything.
  void ActivateOnly(const std::set<int64_t>& active) {
    BuildTables(run.tables);
    for (int i = 0; i < kPrimeCount; ++i) {
      if (!active.count(kPrimes[i])) run.tables.marks[i].fill(1);
    }
  }
  SearchControl control;
  PentaRun run{control};
  void Compare(int type, int32_t a, int32_t limit, const std::set<int64_t>& active) {
    ActivateOnly(active);
    found.clear();
    SearchType(run, static_cast<uint32_t>(type), a, limit);
    std::vector<std::string> expected = ::aequa::penta::Reference(type, a, limit, active);
    std::vector<std::string> got = found;
    std::sort(expected.begin(), expected.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got.size(), expected.size()) << "type " << type << " a=" << a;
    EXPECT_TRUE(got == expected) << "type " << type << " a=" << a << " limit " << limit;
    total += got.size();
  }
  size_t total = 0;
};

const std::set<int64_t> kActiveSets[] = {{11, 311, 281}, {11, 271, 251}, {11, 241, 211},
                                         {11, 191, 181}, {11, 151, 131}, {11, 101, 71},
                                         {11, 61, 41},   {11, 31, 311}};

struct Case {
  int type;
  std::vector<int32_t> as;
  int32_t limit;
};

TEST_F(Reference, EveryTypeFindsExactlyTheReferenceCandidates) {
  const Case cases[] = {
      {0, {2, 4, 1002}, 5000},     {1, {2, 8, 998}, 4000},     {2, {1, 133, 331}, 3000},
      {3, {3, 161, 333}, 3000},    {4, {301, 999}, 60000},     {5, {7, 61}, 50000},
      {6, {4, 6, 1006}, 5000},     {7, {9, 71}, 50000},        {8, {2, 12, 996}, 5000},
      {9, {163, 499}, 3000},       {10, {13, 77}, 50000},      {11, {3, 161}, 3000},
      {12, {4, 8, 16}, 2500},      {13, {104, 412}, 6000},     {14, {102, 406}, 6000},
      {15, {4, 12}, 2500},         {16, {108, 416}, 6000},     {17, {98, 402}, 6000},
      {18, {8, 16}, 2500},         {19, {112, 424}, 6000},     {20, {106, 414}, 6000},
  };
  int rotation = 0;
  for (const Case& c : cases) {
    for (int32_t a : c.as) {
      Compare(c.type, a, c.limit, kActiveSets[rotation++ % 8]);
    }
  }
  EXPECT_GT(total, 1000u);
}

TEST_F(Reference, AnAThatFailsItsConditionYieldsNothing) {
  ActivateOnly({11});  // nearly everything would be a candidate
  found.clear();
  for (int type = 0; type < 21; ++type) {
    SearchType(run, type, 1000, 3000);  // divisible by 5
    SearchType(run, type, 100000, 100000);
  }
  SearchType(run, 0, 3, 3000);   // odd
  SearchType(run, 2, 4, 3000);   // even
  SearchType(run, 12, 6, 3000);  // 2 mod 4
  SearchType(run, 14, 8, 3000);  // 0 mod 4
  EXPECT_TRUE(found.empty());
}

}  // namespace
}  // namespace aequa::penta
