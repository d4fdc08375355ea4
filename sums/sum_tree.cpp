#include "sums/sum_tree.h"

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "core/output_log.h"
#include "core/settings.h"
#include "sums/sum_run.h"

namespace aequa {
namespace {

inline constexpr int8_t kChild = 1;
inline constexpr int8_t kThread = -1;

// Nodes given back are taken again first, then the untouched rest of the pool_ in pool_ order:
// the same order as a free list threaded through the whole pool_, without walking the pool_ at
// every reset.
}  // namespace

inline uint32_t SumTree::TakeNode() {
  if (freeList_ != 0) {
    const uint32_t q = freeList_;
    freeList_ = pool_[q].link[0];
    return q;
  }
  return nextFresh_++;
}

inline void SumTree::GiveBack(uint32_t q) {
  pool_[q].link[0] = freeList_;
  freeList_ = q;
}

// Single rotation of s toward its child on side d; returns the subtree's new root.
uint32_t SumTree::RotateOnce(uint32_t s, int d) {
  SumNode& sn = pool_[s];
  const uint32_t x = sn.link[d];
  SumNode& xn = pool_[x];
  if (xn.tag[!d] == kThread) {
    // x has no inner child: s's link on side d becomes a thread to x.
    sn.link[d] = x;
    sn.tag[d] = kThread;
    xn.tag[!d] = kChild;
  } else {
    sn.link[d] = xn.link[!d];
  }
  xn.link[!d] = s;
  return x;
}

// Double rotation of s about the inner grandchild on side d; returns the new root. Balances
// are left to the caller.
uint32_t SumTree::RotateTwice(uint32_t s, int d) {
  SumNode& sn = pool_[s];
  const uint32_t x = sn.link[d];
  SumNode& xn = pool_[x];
  const uint32_t w = xn.link[!d];
  SumNode& wn = pool_[w];
  xn.link[!d] = wn.link[d];
  wn.link[d] = x;
  sn.link[d] = wn.link[!d];
  wn.link[!d] = s;
  if (wn.tag[d] == kThread) {
    xn.tag[!d] = kThread;
    xn.link[!d] = w;
    wn.tag[d] = kChild;
  }
  if (wn.tag[!d] == kThread) {
    sn.tag[d] = kThread;
    sn.link[d] = w;
    wn.tag[!d] = kChild;
  }
  return w;
}

namespace {

// Balances of s (heavy on side d, sign sw) and its child r after a double rotation about x,
// whose balance before the rotation was xb.
void BalanceAfterDouble(SumNode& s, SumNode& r, SumNode& x, int8_t xb, int sw) {
  if (xb == sw) {
    s.balance = static_cast<int8_t>(-sw);
    r.balance = 0;
  } else if (xb == 0) {
    s.balance = 0;
    r.balance = 0;
  } else {
    s.balance = 0;
    r.balance = static_cast<int8_t>(sw);
  }
  x.balance = 0;
}

}  // namespace

struct SumTree::DeletePath {
  uint32_t node[kDeletePathCapacity];
  uint8_t dir[kDeletePathCapacity];
  int depth;
};

// Removes node p, found at the end of `path` (the header and each node passed, with the
// direction taken from it), and rebalances up the path.
void SumTree::RemoveNode(uint32_t p, DeletePath& path) {
  SumNode* const nodes = pool_;
  uint32_t* const pathNode = path.node;
  uint8_t* const pathDir = path.dir;
  int& depth = path.depth;
  --count_;
  ++run_.deletionCount;

  const uint32_t q = pathNode[depth - 1];
  const int dir = pathDir[depth - 1];
  SumNode& pn = nodes[p];
  uint32_t freed = p;
  if (pn.tag[1] == kThread) {
    if (pn.tag[0] == kChild) {
      // Only a left subtree: it takes p's place, and its largest node inherits p's successor.
      const uint32_t l = pn.link[0];
      uint32_t m = l;
      while (nodes[m].tag[1] == kChild) m = nodes[m].link[1];
      nodes[m].link[1] = pn.link[1];
      nodes[q].link[dir] = l;
    } else {
      nodes[q].link[dir] = pn.link[dir];
      nodes[q].tag[dir] = kThread;
    }
  } else {
    const uint32_t r = pn.link[1];
    SumNode& rn = nodes[r];
    if (rn.tag[0] == kThread) {
      // The right child has no left child: it takes p's place and p's left subtree.
      rn.link[0] = pn.link[0];
      rn.tag[0] = pn.tag[0];
      if (rn.tag[0] == kChild) {
        uint32_t m = rn.link[0];
        while (nodes[m].tag[1] == kChild) m = nodes[m].link[1];
        nodes[m].link[1] = r;
      }
      rn.balance = pn.balance;
      nodes[q].link[dir] = r;
      pathNode[depth] = r;
      pathDir[depth++] = 1;
    } else {
      // Two children: p takes the key of its successor s, the leftmost node of the right
      // subtree, and s is unlinked instead.
      pathNode[depth] = p;
      pathDir[depth++] = 1;
      uint32_t parent = r;
      pathNode[depth] = r;
      pathDir[depth++] = 0;
      uint32_t s = rn.link[0];
      while (nodes[s].tag[0] == kChild) {
        parent = s;
        pathNode[depth] = s;
        pathDir[depth++] = 0;
        s = nodes[s].link[0];
      }
      SumNode& sn = nodes[s];
      pn.key = sn.key;
      pn.terms = sn.terms;
      if (sn.tag[1] == kChild) {
        const uint32_t c = sn.link[1];
        nodes[parent].link[0] = c;
        uint32_t m = c;
        while (nodes[m].tag[0] == kChild) m = nodes[m].link[0];
        nodes[m].link[0] = p;
      } else {
        nodes[parent].link[0] = p;
        nodes[parent].tag[0] = kThread;
      }
      freed = s;
    }
  }
  GiveBack(freed);

  // Retrace from the deepest entry up: the subtree on side d of each entry has become one
  // level lower.
  for (int i = depth - 1; i >= 1; --i) {
    const uint32_t v = pathNode[i];
    const int d = pathDir[i];
    const int w = d ? 1 : -1;
    SumNode& vn = nodes[v];
    if (vn.balance == w) {
      vn.balance = 0;
      continue;
    }
    if (vn.balance == 0) {
      vn.balance = static_cast<int8_t>(-w);
      break;
    }
    const int e = !d;
    const uint32_t r = vn.link[e];
    SumNode& rn = nodes[r];
    uint32_t top;
    bool heightKept = false;
    if (rn.balance == 0) {
      top = RotateOnce(v, e);
      rn.balance = static_cast<int8_t>(w);
      heightKept = true;
    } else if (rn.balance == -w) {
      top = RotateOnce(v, e);
      rn.balance = 0;
      vn.balance = 0;
    } else {
      const uint32_t x = rn.link[d];
      const int8_t xb = nodes[x].balance;
      top = RotateTwice(v, e);
      BalanceAfterDouble(vn, rn, nodes[x], xb, -w);
    }
    nodes[pathNode[i - 1]].link[pathDir[i - 1]] = top;
    if (heightKept) break;
  }
}

namespace {

// Memory starting on a cache line, so that no node straddles two lines; null when short.
constexpr size_t kCacheLine = 64;
void* CacheAlignedAlloc(size_t bytes) {
  return ::operator new(bytes, std::align_val_t{kCacheLine}, std::nothrow);
}
void CacheAlignedFree(void* memory) { ::operator delete(memory, std::align_val_t{kCacheLine}); }

}  // namespace

uint32_t PoolSizeFor(uint32_t megabytes, uint32_t limit) {
  if (megabytes == 0) megabytes = 1;
  if (megabytes > kMaxPoolMegabytes) megabytes = kMaxPoolMegabytes;
  uint32_t nodes = megabytes * kNodesPerMegabyte;
  if (limit != 0 && nodes > limit) nodes = limit;
  return nodes;
}

void SumTree::Create() {
  Destroy();
  if (run_.poolSize == 0) run_.poolSize = 1;
  for (;;) {
    const uint64_t bytes = (static_cast<uint64_t>(run_.poolSize) + 1) * sizeof(SumNode);
    if (run_.poolSize <= kNodesPerMegabyte) {
      pool_ = static_cast<SumNode*>(CacheAlignedAlloc(static_cast<size_t>(bytes)));
      if (pool_ == nullptr) {
        LogText("virtual memory exhausted\n");
        std::exit(1);
      }
      break;
    }
    if (bytes <= SIZE_MAX - kCacheLine) {
      pool_ = static_cast<SumNode*>(CacheAlignedAlloc(static_cast<size_t>(bytes)));
    }
    if (pool_ != nullptr) break;
    run_.poolSize = (run_.poolSize / 2 / kNodesPerMegabyte) * kNodesPerMegabyte;
    if (run_.poolSize < kNodesPerMegabyte) run_.poolSize = kNodesPerMegabyte;
    char text[96];
    std::snprintf(text, sizeof text, "Not enough memory for the sums: using %lu megabytes\n",
                  static_cast<unsigned long>(run_.poolSize / kNodesPerMegabyte));
    LogText(run_.control, text);
  }
  Reset();
}

void SumTree::Destroy() {
  if (pool_ != nullptr) CacheAlignedFree(pool_);
  pool_ = nullptr;
  count_ = 0;
}

void SumTree::Reset() {
  SumNode& head = pool_[kHeaderIndex];
  head.key = U128();
  head.link[0] = kHeaderIndex;
  head.link[1] = kHeaderIndex;
  head.tag[0] = kThread;
  head.tag[1] = kChild;
  head.balance = 0;
  head.cache = 0;
  head.terms = 0;
  count_ = 0;
  freeList_ = 0;
  nextFresh_ = 1;
}

const SumNode* SumTree::First() const {
  if (pool_[kHeaderIndex].tag[0] == kThread) return nullptr;
  uint32_t p = pool_[kHeaderIndex].link[0];
  while (pool_[p].tag[0] == kChild) p = pool_[p].link[0];
  return &pool_[p];
}

const SumNode* SumTree::Last() const {
  if (pool_[kHeaderIndex].tag[0] == kThread) return nullptr;
  uint32_t p = pool_[kHeaderIndex].link[0];
  while (pool_[p].tag[1] == kChild) p = pool_[p].link[1];
  return &pool_[p];
}

void SumTree::Insert(const U128& key, uint32_t terms) {
  SumNode* const nodes = pool_;
  if (count_ >= run_.poolSize) {
    const SumNode& last = *Last();
    const int order = Compare128(key, last.key);
    if (order < 0) {
      run_.ceiling = last.key;
      DeleteLast();
      ++run_.evictionCount;
    } else if (order > 0) {
      // No room and larger than everything kept: the window ends here instead, and the next
      // window starts with this value.
      run_.ceiling = key;
      ++run_.evictionCount;
      return;
    }
    // Equal to the largest key: a collision, found by the walk below.
  }

  SumNode& head = nodes[kHeaderIndex];
  if (head.tag[0] == kThread) {
    const uint32_t q = TakeNode();
    SumNode& qn = nodes[q];
    head.link[0] = q;
    head.tag[0] = kChild;
    ++count_;
    qn.key = key;
    qn.link[0] = kHeaderIndex;
    qn.link[1] = kHeaderIndex;
    qn.tag[0] = kThread;
    qn.tag[1] = kThread;
    qn.balance = 0;
    qn.cache = 0;
    qn.terms = static_cast<uint8_t>(terms);
    return;
  }

  // Walk down, remembering in each node the way taken; s is the deepest node with a non-zero
  // balance on the way (where a rotation may be needed) and t the node above it.
  uint32_t t = kHeaderIndex;
  uint32_t s = head.link[0];
  uint32_t p = s;
  int dir;
  for (;;) {
    SumNode& pn = nodes[p];
    const int order = Compare128(key, pn.key);
    if (order == 0) {
      ReportCollision(pn, pn.terms, terms);
      if (pn.terms > terms) pn.terms = static_cast<uint8_t>(terms);
      return;
    }
    dir = order > 0;
    pn.cache = static_cast<uint8_t>(dir);
    if (pn.tag[dir] == kThread) break;
    const uint32_t c = pn.link[dir];
    if (nodes[c].balance != 0) {
      t = p;
      s = c;
    }
    p = c;
  }

  const uint32_t q = TakeNode();
  SumNode& qn = nodes[q];
  SumNode& pn = nodes[p];
  qn.key = key;
  qn.terms = static_cast<uint8_t>(terms);
  qn.balance = 0;
  qn.cache = 0;
  qn.link[dir] = pn.link[dir];
  qn.tag[dir] = kThread;
  qn.link[!dir] = p;
  qn.tag[!dir] = kThread;
  pn.link[dir] = q;
  pn.tag[dir] = kChild;
  ++count_;

  for (uint32_t r = s; r != q; r = nodes[r].link[nodes[r].cache]) {
    nodes[r].balance = static_cast<int8_t>(nodes[r].balance + (nodes[r].cache ? 1 : -1));
  }
  SumNode& sn = nodes[s];
  if (sn.balance >= -1 && sn.balance <= 1) return;

  const int d = sn.balance > 0;
  const int w = d ? 1 : -1;
  const uint32_t r = sn.link[d];
  SumNode& rn = nodes[r];
  uint32_t top;
  if (rn.balance == w) {
    top = RotateOnce(s, d);
    rn.balance = 0;
    sn.balance = 0;
  } else {
    const uint32_t x = rn.link[!d];
    const int8_t xb = nodes[x].balance;
    top = RotateTwice(s, d);
    BalanceAfterDouble(sn, rn, nodes[x], xb, w);
  }
  SumNode& tn = nodes[t];
  tn.link[tn.link[0] == s ? 0 : 1] = top;
}

void SumTree::Delete(const U128& key) {
  SumNode* const nodes = pool_;
  if (nodes[kHeaderIndex].tag[0] == kThread) return;
  DeletePath path;
  path.node[0] = kHeaderIndex;
  path.dir[0] = 0;
  path.depth = 1;
  uint32_t p = nodes[kHeaderIndex].link[0];
  for (;;) {
    const int order = Compare128(key, nodes[p].key);
    if (order == 0) break;
    const int dir = order > 0;
    if (nodes[p].tag[dir] == kThread) return;
    path.node[path.depth] = p;
    path.dir[path.depth++] = static_cast<uint8_t>(dir);
    p = nodes[p].link[dir];
  }
  RemoveNode(p, path);
}

// Removes the node at the end of side `side`: the smallest (0) or the largest (1).
void SumTree::DeleteEnd(int side) {
  SumNode* const nodes = pool_;
  if (nodes[kHeaderIndex].tag[0] == kThread) return;
  DeletePath path;
  path.node[0] = kHeaderIndex;
  path.dir[0] = 0;
  path.depth = 1;
  uint32_t p = nodes[kHeaderIndex].link[0];
  while (nodes[p].tag[side] == kChild) {
    path.node[path.depth] = p;
    path.dir[path.depth++] = static_cast<uint8_t>(side);
    p = nodes[p].link[side];
  }
  RemoveNode(p, path);
}

bool CollisionWanted(uint32_t power, uint32_t m, uint32_t n) {
  if (Settings.ForceAVL.load() != 0) return true;
  const uint32_t total = m + n;
  switch (power) {
    case 2:
      return total <= 3;
    case 3:
    case 4:
      return total <= 4;
    case 5:
      return total <= 5;
    case 6:
      return total <= 8 && !(total >= 7 && m >= 3 && n >= 3);
    case 7:
      return total <= 8;
    case 8:
      return total <= 10;
    case 9:
      return total <= 12;
    case 10:
      return total <= 14;
    default:
      return true;
  }
}

void SumTree::ReportCollision(const SumNode& node, uint32_t m, uint32_t n) {
  if (CollisionWanted(run_.k, m, n)) run_.reports.Add(node.key, m, n);
}

}  // namespace aequa
