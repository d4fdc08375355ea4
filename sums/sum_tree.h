#pragma once
// The sum tree: an ordered set of distinct 128-bit sums with the fewest terms seen for each,
// held in a fully threaded AVL tree whose nodes come from a fixed pool. Entering a value that
// is present reports a collision. When the pool is full the tree keeps the smallest values and
// lowers Ceiling, so that the pass's window shrinks to what it could hold.
//
// Each sum-collision run owns one tree. Nodes are addressed by their index in the pool, index 0
// being the header, so that a node takes 32 bytes.
#include <cstddef>
#include <cstdint>

#include "sums/u128.h"

namespace aequa {

struct SumNode {
  U128 key;
  uint32_t link[2];  // left and right: a child (tag +1) or a thread (tag -1)
  int8_t balance;    // height of the right subtree minus that of the left one
  uint8_t cache;     // direction the latest insertion walk took here: 0 left, 1 right
  int8_t tag[2];
  uint8_t terms;     // fewest terms of any representation of key entered so far
};
static_assert(sizeof(SumNode) == 32, "a megabyte of pool holds 32768 nodes");

inline constexpr uint32_t kHeaderIndex = 0;
inline constexpr uint32_t kNodesPerMegabyte = 32768;
// Largest memory setting honoured: the pool stays below 2^32 nodes, so node indices and the
// count fit in 32 bits. Larger settings are lowered to it.
inline constexpr uint32_t kMaxPoolMegabytes = 131071;
// An AVL tree of height h has at least F(h+2) - 1 nodes (F the Fibonacci numbers), so a tree
// of fewer than 2^32 nodes is at most 45 levels high. A deletion path holds the header and at
// most one node per level.
inline constexpr int kDeletePathCapacity = 48;

// Nodes of the pool for a memory setting: megabytes * 32768, with 0 taken as 1 and settings
// above kMaxPoolMegabytes lowered to it, and at most `limit` nodes when it is not 0 (tests and
// benchmarks force evictions on small ranges that way).
uint32_t PoolSizeFor(uint32_t megabytes, uint32_t limit = 0);

// The report filter by power; "ForceAVL" makes every pair wanted.
bool CollisionWanted(uint32_t power, uint32_t m, uint32_t n);

struct SumRun;

class SumTree {
 public:
  // The tree of `run`: it lowers the run's ceiling, counts its evictions and deletions and
  // notes its collisions.
  explicit SumTree(SumRun& run) : run_(run) {}
  SumTree(const SumTree&) = delete;
  SumTree& operator=(const SumTree&) = delete;
  ~SumTree() { Destroy(); }

  // Allocates the header and a pool of run.poolSize nodes. When that much memory cannot be
  // had the pool is halved (down to one megabyte), run.poolSize lowered and the log told; when
  // even that fails the program ends with exit code 1 after "virtual memory exhausted\n".
  void Create();
  void Destroy();
  // Empties the tree; every pool node becomes free.
  void Reset();

  // Enters a sum of `terms` terms. A value already present is a collision: it is reported and
  // the stored term count becomes the smaller one. With the pool full, a smaller value evicts
  // the largest node and lowers the ceiling to its key; a larger value is not stored and lowers
  // the ceiling to itself. Either way everything below the final ceiling stays accounted for.
  void Insert(const U128& key, uint32_t terms);
  // Removes the key; an absent key changes nothing.
  void Delete(const U128& key);
  // Remove the smallest or the largest node, as Delete of its key does.
  void DeleteFirst() { DeleteEnd(0); }
  void DeleteLast() { DeleteEnd(1); }
  // Smallest and largest node, null when the tree is empty.
  const SumNode* First() const;
  const SumNode* Last() const;

  uint32_t Count() const { return count_; }
  // The pool, header first (index 0), for structural checks.
  const SumNode* Pool() const { return pool_; }

 private:
  struct DeletePath;
  uint32_t TakeNode();
  void GiveBack(uint32_t q);
  uint32_t RotateOnce(uint32_t s, int d);
  uint32_t RotateTwice(uint32_t s, int d);
  void RemoveNode(uint32_t p, DeletePath& path);
  void DeleteEnd(int side);
  void ReportCollision(const SumNode& node, uint32_t m, uint32_t n);

  SumRun& run_;
  SumNode* pool_ = nullptr;  // pool_[0] is the header; its link[0] is the root
  uint32_t count_ = 0;       // nodes in the tree
  uint32_t freeList_ = 0;    // nodes given back, chained through link[0]; 0 ends the chain
  uint32_t nextFresh_ = 1;   // first node not taken since the last reset
};

}  // namespace aequa
