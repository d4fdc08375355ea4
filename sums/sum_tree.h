#pragma once
// The sum tree: an ordered set of distinct 128-bit sums with the fewest terms seen for each,
// held in a fully threaded AVL tree whose nodes come from a fixed pool. Entering a value that
// is present reports a collision. When the pool is full the tree keeps the smallest values and
// lowers Ceiling, so that the pass's window shrinks to what it could hold.
//
// One tree exists per process; the operations act on it. Nodes are addressed by their index
// in the pool, index 0 being the header, so that a node takes 32 bytes.
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
// above kMaxPoolMegabytes lowered to it.
uint32_t PoolSizeFor(uint32_t megabytes);
// Caps every pool made from now on at `nodes` (0 removes the cap); tests and benchmarks use it
// to force evictions on small ranges.
void SetPoolSizeLimit(uint32_t nodes);
uint32_t PoolSizeLimit();

// Memory starting on a cache line, or null for 0 bytes; when memory is exhausted the program
// ends with exit code 1 after "virtual memory exhausted\n". Only TreeCreate uses it.
void* XAlloc(size_t bytes);

// Allocates the header and a pool of SumRun.poolSize nodes. When that much memory cannot be
// had the pool is halved (down to one megabyte), SumRun.poolSize lowered and the log told.
void TreeCreate();
void TreeDestroy();
// Empties the tree; every pool node becomes free.
void TreeReset();

// Enters a sum of `terms` terms. A value already present is a collision: it is reported and
// the stored term count becomes the smaller one. With the pool full, a smaller value evicts
// the largest node and lowers Ceiling to its key; a larger value is not stored and lowers
// Ceiling to itself. Either way everything below the final Ceiling stays accounted for.
void TreeInsert(const U128& key, uint32_t terms);
// Removes the key; an absent key changes nothing.
void TreeDelete(const U128& key);
// Remove the smallest or the largest node, as TreeDelete of its key does.
void TreeDeleteFirst();
void TreeDeleteLast();
// Smallest and largest node, null when the tree is empty.
const SumNode* TreeFirst();
const SumNode* TreeLast();

uint32_t TreeCount();
// The pool, header first (index 0), for structural checks.
const SumNode* TreePool();

// Notes the line "(k,m,n) at <value>" for the end of the pass when the pair is wanted.
void ReportCollision(const SumNode& node, uint32_t m, uint32_t n);
// The report filter by power; "ForceAVL" makes every pair wanted.
bool CollisionWanted(uint32_t m, uint32_t n);

}  // namespace aequa
