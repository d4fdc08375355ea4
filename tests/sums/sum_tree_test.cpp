#include "sums/sum_tree.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/output_log.h"
#include "core/settings.h"
#include "support/temp_dir.h"
#include "sums/sum_run.h"

namespace aequa {
namespace {

U128 Key(uint64_t high, uint64_t low) {
  U128 u;
  u.w[0] = static_cast<uint32_t>(low);
  u.w[1] = static_cast<uint32_t>(low >> 32);
  u.w[2] = static_cast<uint32_t>(high);
  u.w[3] = static_cast<uint32_t>(high >> 32);
  return u;
}

// Model keys ordered as 128-bit numbers: (high, low).
using ModelKey = std::pair<uint64_t, uint64_t>;
ModelKey ModelOf(const U128& u) {
  return {(static_cast<uint64_t>(u.w[3]) << 32) | u.w[2],
          (static_cast<uint64_t>(u.w[1]) << 32) | u.w[0]};
}

std::vector<std::string> loggedLines;
void CaptureLine(const char* line, bool) { loggedLines.push_back(line); }

// The run of the test being run, for the checks below.
SumRun* current = nullptr;

class SumTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetLogLineSink(&CaptureLine);
    loggedLines.clear();
    run_->k = 2;
    current = run_.get();
    Settings.ForceAVL.store(0);
  }
  void TearDown() override { SetLogLineSink(nullptr); }
  void Create(uint32_t poolSize) {
    run_->poolSize = poolSize;
    tree().Create();
    run_->reports.Clear();
    run_->ceiling = Key(~0ull, ~0ull);
    run_->evictionCount = 0;
    run_->deletionCount = 0;
  }
  SumTree& tree() { return run_->tree; }
  bool WriteReports() {
    run_->reports.DropFrom(run_->ceiling);
    return run_->reports.Write(control_, run_->k);
  }
  test::TempDir dir_;
  SearchControl control_;
  std::unique_ptr<SumRun> run_ = std::make_unique<SumRun>(control_);
};

// Checks the subtree of `index`: order within (low, high), child tags, balance factors and
// heights; collects the in-order sequence. Returns the height.
int CheckSubtree(const SumNode* pool, uint32_t index, const ModelKey* low, const ModelKey* high,
                 std::vector<uint32_t>& inOrder, uint32_t poolSize) {
  EXPECT_GE(index, 1u);
  EXPECT_LE(index, poolSize);
  if (index < 1 || index > poolSize) return 0;
  const SumNode& node = pool[index];
  const ModelKey key = ModelOf(node.key);
  if (low != nullptr) {
    EXPECT_LT(*low, key);
  }
  if (high != nullptr) {
    EXPECT_LT(key, *high);
  }
  int heights[2] = {0, 0};
  for (int d = 0; d < 2; ++d) EXPECT_TRUE(node.tag[d] == 1 || node.tag[d] == -1);
  if (node.tag[0] == 1) heights[0] = CheckSubtree(pool, node.link[0], low, &key, inOrder, poolSize);
  inOrder.push_back(index);
  if (node.tag[1] == 1) heights[1] = CheckSubtree(pool, node.link[1], &key, high, inOrder, poolSize);
  EXPECT_EQ(node.balance, heights[1] - heights[0]) << "balance at key " << key.second;
  EXPECT_LE(std::abs(heights[1] - heights[0]), 1);
  return 1 + std::max(heights[0], heights[1]);
}

// The whole structure against the model: keys, terms, order, threads, balance, count, the
// ends, and the header.
void CheckTree(const std::map<ModelKey, uint32_t>& model) {
  const SumNode* pool = current->tree.Pool();
  const SumNode& head = pool[kHeaderIndex];
  ASSERT_EQ(head.link[1], kHeaderIndex);
  ASSERT_EQ(head.tag[1], 1);
  ASSERT_EQ(current->tree.Count(), model.size());
  if (model.empty()) {
    EXPECT_EQ(head.tag[0], -1);
    EXPECT_EQ(head.link[0], kHeaderIndex);
    EXPECT_EQ(current->tree.First(), nullptr);
    EXPECT_EQ(current->tree.Last(), nullptr);
    return;
  }
  ASSERT_EQ(head.tag[0], 1);
  std::vector<uint32_t> inOrder;
  CheckSubtree(pool, head.link[0], nullptr, nullptr, inOrder, current->poolSize);
  ASSERT_EQ(inOrder.size(), model.size());
  size_t i = 0;
  for (const auto& [key, terms] : model) {
    const SumNode& node = pool[inOrder[i]];
    EXPECT_EQ(ModelOf(node.key), key);
    EXPECT_EQ(node.terms, terms);
    // Threads lead to the in-order neighbours, the header at both ends.
    if (node.tag[0] == -1) {
      EXPECT_EQ(node.link[0], i == 0 ? kHeaderIndex : inOrder[i - 1]);
    }
    if (node.tag[1] == -1) {
      EXPECT_EQ(node.link[1], i + 1 == inOrder.size() ? kHeaderIndex : inOrder[i + 1]);
    }
    ++i;
  }
  EXPECT_EQ(ModelOf(current->tree.First()->key), model.begin()->first);
  EXPECT_EQ(ModelOf(current->tree.Last()->key), model.rbegin()->first);
}

// The tree's rules applied to the model: collisions keep the fewer terms; a full pool evicts
// the largest key for a smaller value and gives up a larger one, lowering the ceiling.
struct Model {
  std::map<ModelKey, uint32_t> keys;
  uint32_t poolSize;
  uint32_t evictions = 0;
  uint32_t evictedNodes = 0;
  ModelKey ceiling{~0ull, ~0ull};

  void Insert(const ModelKey& key, uint32_t terms) {
    if (keys.size() >= poolSize) {
      auto last = std::prev(keys.end());
      if (key < last->first) {
        ceiling = last->first;
        keys.erase(last);
        ++evictions;
        ++evictedNodes;
      } else if (last->first < key) {
        ceiling = key;
        ++evictions;
        return;
      }
    }
    auto [it, added] = keys.emplace(key, terms);
    if (!added) it->second = std::min(it->second, terms);
  }
};

void RandomRun(uint32_t poolSize, uint32_t steps, uint32_t seed) {
  std::mt19937_64 random(seed);
  Model model{{}, poolSize};
  uint32_t deletions = 0;
  // Keys differ in the high words as well as the low ones, and repeat often.
  auto randomKey = [&] {
    const uint64_t high = random() % 3;
    const uint64_t low = (random() % 400) << (random() % 2 ? 40 : 0);
    return Key(high, low);
  };
  for (uint32_t step = 0; step < steps; ++step) {
    const uint32_t action = random() % 10;
    if (action < 6) {
      const U128 key = randomKey();
      const uint32_t terms = 2 + random() % 3;  // pairs not written at power 2
      current->tree.Insert(key, terms);
      model.Insert(ModelOf(key), terms);
    } else if (action < 8) {
      const U128 key = randomKey();
      if (model.keys.erase(ModelOf(key)) != 0) ++deletions;
      current->tree.Delete(key);
    } else if (action < 9) {
      // Purge: remove from the small end while below a bound.
      const U128 bound = randomKey();
      for (const SumNode* first = current->tree.First();
           first != nullptr && Less128(first->key, bound); first = current->tree.First()) {
        if (step % 2 == 0) {
          current->tree.DeleteFirst();
        } else {
          const U128 key = first->key;
          current->tree.Delete(key);
        }
        model.keys.erase(model.keys.begin());
        ++deletions;
      }
    } else {
      // Delete the largest, as an eviction does.
      if (const SumNode* last = current->tree.Last()) {
        if (step % 2 == 0) {
          current->tree.DeleteLast();
        } else {
          const U128 key = last->key;
          current->tree.Delete(key);
        }
        model.keys.erase(std::prev(model.keys.end()));
        ++deletions;
      }
    }
    ASSERT_NO_FATAL_FAILURE(CheckTree(model.keys)) << "step " << step;
    if (::testing::Test::HasFailure()) FAIL() << "step " << step;
  }
  EXPECT_EQ(current->evictionCount, model.evictions);
  EXPECT_EQ(ModelOf(current->ceiling), model.ceiling);
  EXPECT_EQ(current->deletionCount, deletions + model.evictedNodes);
  // Deleting everything leaves the state of an empty tree.
  while (const SumNode* first = current->tree.First()) {
    const U128 key = first->key;
    current->tree.Delete(key);
    model.keys.erase(model.keys.begin());
    ASSERT_NO_FATAL_FAILURE(CheckTree(model.keys));
  }
  CheckTree(model.keys);
}

TEST_F(SumTreeTest, MatchesAnOrderedSetUnderRandomOperations) {
  for (uint32_t seed = 1; seed <= 3; ++seed) {
    Create(100000);
    RandomRun(100000, 6000, seed);
    tree().Destroy();
  }
}

TEST_F(SumTreeTest, FullPoolsEvictAndLowerTheCeiling) {
  for (uint32_t poolSize : {1u, 2u, 3u, 7u, 64u, 300u}) {
    Create(poolSize);
    RandomRun(poolSize, 4000, 100 + poolSize);
    tree().Destroy();
  }
}

TEST_F(SumTreeTest, SequentialKeysAndBothEnds) {
  Create(5000);
  std::map<ModelKey, uint32_t> model;
  for (uint64_t i = 0; i < 3000; ++i) {
    const uint64_t value = (i * 7919) % 3001;
    tree().Insert(Key(0, value), 2);
    model.emplace(ModelKey{0, value}, 2);
  }
  CheckTree(model);
  for (int i = 0; i < 1500; ++i) {
    tree().DeleteFirst();
    model.erase(model.begin());
    tree().DeleteLast();
    model.erase(std::prev(model.end()));
    ASSERT_NO_FATAL_FAILURE(CheckTree(model));
  }
  CheckTree(model);
  tree().Reset();
  CheckTree({});
}

TEST_F(SumTreeTest, FirstInsertMakesARootThreadedToTheHeader) {
  Create(10);
  tree().Insert(U128::Of(25), 2);
  const SumNode* pool = tree().Pool();
  const uint32_t root = pool[kHeaderIndex].link[0];
  EXPECT_EQ(pool[kHeaderIndex].tag[0], 1);
  EXPECT_EQ(pool[root].link[0], kHeaderIndex);
  EXPECT_EQ(pool[root].link[1], kHeaderIndex);
  EXPECT_EQ(pool[root].tag[0], -1);
  EXPECT_EQ(pool[root].tag[1], -1);
  EXPECT_EQ(tree().First(), tree().Last());
  EXPECT_EQ(tree().First(), &pool[root]);
}

TEST_F(SumTreeTest, CollisionLineShowsTheStoredTermsThenKeepsTheFewer) {
  Create(10);
  tree().Insert(U128::Of(25), 2);
  tree().Insert(U128::Of(25), 1);
  EXPECT_EQ(tree().Count(), 1u);
  EXPECT_EQ(tree().First()->terms, 1);
  tree().Insert(U128::Of(25), 2);  // 1 and 2 terms: written
  tree().Insert(U128::Of(25), 3);  // 1 and 3: not written at power 2
  EXPECT_TRUE(loggedLines.empty());  // the lines wait for the end of the pass
  EXPECT_TRUE(WriteReports());
  EXPECT_EQ(loggedLines, (std::vector<std::string>{"(2,2,1) at 25", "(2,1,2) at 25"}));
  EXPECT_NE(test::ReadFile("SOLUTION.TXT").find("(2,2,1) at 25\r\n(2,1,2) at 25\r\n"),
            std::string::npos);
}

TEST_F(SumTreeTest, FullPoolWithASmallerValueEvictsTheLargest) {
  Create(3);
  for (uint64_t v : {10, 20, 30}) tree().Insert(U128::Of(v), 2);
  tree().Insert(U128::Of(15), 2);
  EXPECT_EQ(run_->ceiling, U128::Of(30));
  EXPECT_EQ(run_->evictionCount, 1u);
  EXPECT_EQ(run_->deletionCount, 1u);
  EXPECT_EQ(tree().Count(), 3u);
  EXPECT_EQ(tree().Last()->key, U128::Of(20));
}

TEST_F(SumTreeTest, FullPoolWithAnEqualValueEvictsFirstThenReports) {
  Create(3);
  Settings.ForceAVL.store(1);
  for (uint64_t v : {10, 20, 30}) tree().Insert(U128::Of(v), 2);
  tree().Insert(U128::Of(20), 3);
  EXPECT_EQ(tree().Count(), 2u);
  EXPECT_EQ(run_->ceiling, U128::Of(30));
  EXPECT_TRUE(WriteReports());
  EXPECT_EQ(loggedLines, (std::vector<std::string>{"(2,2,3) at 20"}));
  // Equal to the largest: a collision, nothing evicted.
  Create(3);
  for (uint64_t v : {10, 20, 30}) tree().Insert(U128::Of(v), 2);
  tree().Insert(U128::Of(30), 1);
  EXPECT_EQ(run_->evictionCount, 0u);
  EXPECT_EQ(tree().Count(), 3u);
  // A later eviction lowers the ceiling to 30: the value is searched again with the next
  // window, and its line is written then, not now.
  tree().Insert(U128::Of(5), 2);
  EXPECT_EQ(run_->ceiling, U128::Of(30));
  loggedLines.clear();
  EXPECT_TRUE(WriteReports());
  EXPECT_TRUE(loggedLines.empty());
}

TEST_F(SumTreeTest, FullPoolWithALargerValueLowersTheCeilingToIt) {
  Create(3);
  for (uint64_t v : {10, 20, 30}) tree().Insert(U128::Of(v), 2);
  tree().Insert(U128::Of(40), 2);
  EXPECT_EQ(run_->ceiling, U128::Of(40));
  EXPECT_EQ(run_->evictionCount, 1u);
  EXPECT_EQ(run_->deletionCount, 0u);
  EXPECT_EQ(tree().Count(), 3u);
  EXPECT_EQ(tree().Last()->key, U128::Of(30));
}

TEST(CollisionWanted, FollowsThePowerAndForceAVL) {
  Settings.ForceAVL.store(0);
  EXPECT_TRUE(CollisionWanted(2, 1, 2));
  EXPECT_FALSE(CollisionWanted(2, 2, 2));
  EXPECT_TRUE(CollisionWanted(6, 3, 3));
  EXPECT_FALSE(CollisionWanted(6, 3, 4));
  EXPECT_TRUE(CollisionWanted(6, 2, 5));
  EXPECT_FALSE(CollisionWanted(6, 4, 5));
  EXPECT_TRUE(CollisionWanted(10, 7, 7));
  EXPECT_FALSE(CollisionWanted(10, 7, 8));
  EXPECT_TRUE(CollisionWanted(11, 100, 100));
  Settings.ForceAVL.store(1);
  EXPECT_TRUE(CollisionWanted(2, 2, 2));
  Settings.ForceAVL.store(0);
}

TEST(PoolSize, MegabytesAreCappedBelowFourBillionNodes) {
  EXPECT_EQ(PoolSizeFor(0), kNodesPerMegabyte);
  EXPECT_EQ(PoolSizeFor(1), kNodesPerMegabyte);
  EXPECT_EQ(PoolSizeFor(0xFFFFFFFFu), kMaxPoolMegabytes * kNodesPerMegabyte);
  EXPECT_EQ(PoolSizeFor(8, 40), 40u);
  // The deletion path covers the tallest AVL tree such a pool can hold: the fewest nodes of a
  // tree of height h is F(h+2) - 1.
  uint64_t fewest[64] = {0, 1};
  int tallest = 1;
  for (int h = 2; h < 64; ++h) {
    fewest[h] = fewest[h - 1] + fewest[h - 2] + 1;
    if (fewest[h] <= static_cast<uint64_t>(kMaxPoolMegabytes) * kNodesPerMegabyte) tallest = h;
  }
  EXPECT_GE(kDeletePathCapacity, tallest + 1);
}

}  // namespace
}  // namespace aequa
