// Cell allocation, release and text lengths.
#include "cells/cell.h"

#include <malloc.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "cells/ending.h"
#include "cells/memory_budget.h"

namespace cells {

std::size_t liveCells() { return pool::made - pool::released - pool::kept; }
std::size_t cellsMade() { return pool::made; }

// Exact lengths of atoms too long for the 26-bit cache. They are rare (each holds
// 64 MiB or more), so a side table costs nothing on the common path and keeps every
// measured atom's length exact, whatever bytes it holds.
static std::unordered_map<const Cell*, std::size_t>& longAtomLengths() {
  static std::unordered_map<const Cell*, std::size_t> lengths;
  return lengths;
}

// Platform: allocation failure ends the run like any reported error, with status 128.
void outOfMemory() { endWithReport("Space", "", "Out of memory."); }

static Cell* allocate(std::size_t bytes) {
  void* p = budgetAllocate(bytes);
  ++pool::made;
  return static_cast<Cell*>(p);
}

static constexpr std::size_t kPairBytes = sizeof(Cell) + 2 * sizeof(Cell*);
static_assert(kSmallAtom == kPairBytes - sizeof(Cell) - 1, "a small atom fills a pair's block");

namespace pool {

#ifdef VORL_PLAIN_ALLOCATION
Cell* allocatePlain() { return allocate(kPairBytes); }
void freePlain(Cell* c) { budgetFree(c); }
#else
Cell* refill() {
  constexpr std::size_t kChunk = 4096;
  char* chunk = static_cast<char*>(budgetAllocate(kChunk * kPairBytes));
  // Kept for the life of the process; listed so that leak checkers see them held.
  static auto* chunks = new std::vector<char*>;  // never destroyed, like the chunks
  chunks->push_back(chunk);
  for (std::size_t i = kChunk; i-- > 0;) {
    auto* p = reinterpret_cast<FreeBlock*>(chunk + i * kPairBytes);
    p->next = freeBlocks;
    freeBlocks = p;
  }
  return allocateBlock();
}
#endif

}  // namespace pool

// Numerals and bracketed atoms are measured as the header layout prescribes; so are
// counted binary and fixed-size atoms, whose stated lengths a program could
// otherwise contradict.
static bool holdsLength(const Cell* atom) { return headerFieldOf(atom) == HeaderField::length; }

// Atoms other than short measured ones: long texts, and plain atoms, whose length
// field holds no length.
[[gnu::noinline]] static void freeOtherAtom(Cell* c) {
  std::size_t length = text(c).size();  // before the side table forgets it
  if (holdsLength(c) && lengthCache(c) == 0) longAtomLengths().erase(c);
  if (length <= kSmallAtom) return freeBlock(c);
  ++pool::released;
  budgetFree(c);
}

static void freeAtom(Cell* c) {
  uint64_t cached = lengthCache(c);
  if (cached - 1 < kSmallAtom && holdsLength(c)) return freeBlock(c);
  freeOtherAtom(c);
}

int digitValue(unsigned char c) {
  static const auto table = [] {
    struct Table {
      signed char value[256];
    } t{};
    std::memset(t.value, -1, sizeof t.value);
    for (std::size_t i = 0; i < kDigitAlphabet.size(); ++i)
      t.value[static_cast<unsigned char>(kDigitAlphabet[i])] = static_cast<signed char>(i);
    return t;
  }();
  return table.value[c];
}

std::string_view text(const Cell* c) {
  if (isPair(c)) return {};
  const char* s = chars(c);
  if (!holdsLength(c)) return {s, std::strlen(s)};
  if (uint64_t cached = lengthCache(c)) return {s, cached};
  auto found = longAtomLengths().find(c);
  invariant(found != longAtomLengths().end(), "measured atom without a length");
  return {s, found->second};
}

// Release of a cell whose count has reached zero: a pair drops its left child, then
// its right child, each of which may cascade. The walk keeps no stack of its own:
// a dead pair waiting for its right child to be released is linked into the pending
// list through its left-child slot, so chains of any depth cost no C stack. The
// common release of a single atom stays out of this walk (releaseLast).
[[gnu::noinline]] static void releasePairs(Cell* c) {
  Cell* pending = nullptr;
  for (;;) {
    while (c) {
      if (isAtom(c)) {
        freeAtom(c);
        break;
      }
      Cell** slots = reinterpret_cast<Cell**>(c + 1);
      Cell* left = slots[0];
      slots[0] = pending;
      pending = c;
      invariant((left->header & kCountMask) != 0, "release of a cell without references");
      c = (--left->header & kCountMask) == 0 ? left : nullptr;
    }
    if (!pending) return;
    Cell* done = pending;
    Cell** slots = reinterpret_cast<Cell**>(done + 1);
    pending = slots[0];
    Cell* right = slots[1];
    freeBlock(done);
    invariant((right->header & kCountMask) != 0, "release of a cell without references");
    c = (--right->header & kCountMask) == 0 ? right : nullptr;
  }
}

void releaseLast(Cell* c) {
  if (isAtom(c)) return freeAtom(c);
  releasePairs(c);
}

// A long atom: its text, the NUL, and the byte of its value kind.
static std::size_t longAtomBytes(std::size_t length) { return sizeof(Cell) + length + 2; }

Cell* allocateAtom(std::size_t length) { return allocateAtom(length, length); }

Cell* allocateAtom(std::size_t length, std::size_t capacity) {
  // A short atom lives in a pool block whatever room was asked for: its release
  // tells the block by the length.
  Cell* c = length <= kSmallAtom ? allocateBlock() : allocate(longAtomBytes(std::max(length, capacity)));
  c->header = kAtomBit;
  char* text = const_cast<char*>(chars(c));
  // Every atom has at least sixteen readable text bytes, and a small block is written
  // whole: short numerals are read two words at a time (numbers/short_numeral.h).
  if (length <= kSmallAtom) std::memset(text, 0, kSmallAtom + 1);
  else
    text[length + 1] = 0;
  text[length] = '\0';
  return c;
}

// Only long measured atoms grow: their length is recorded, not found at the NUL, and
// their block is malloc's, which knows its size.
bool hasRoomFor(const Cell* c, std::size_t length) {
  if (!holdsLength(c)) return false;
  std::size_t now = text(c).size();
  if (now <= kSmallAtom || length < now) return false;
  return malloc_usable_size(const_cast<Cell*>(c)) >= longAtomBytes(length);
}

// The kind byte's place: after the NUL of a measured atom that is not short.
static char* valueKindByte(const Cell* c) {
  if (!holdsLength(c)) return nullptr;
  std::size_t length = lengthCache(c);
  if (length == 0) length = text(c).size();
  return length > kSmallAtom ? const_cast<char*>(chars(c)) + length + 1 : nullptr;
}

ValueKind cachedValueKind(const Cell* c) {
  const char* at = valueKindByte(c);
  return at ? ValueKind(*at) : ValueKind::undecided;
}

void cacheValueKind(const Cell* c, ValueKind kind) {
  if (char* at = valueKindByte(c)) *at = char(kind);
}

void resizeAtom(Cell* c, std::size_t length) {
  invariant(hasRoomFor(c, length), "resize of an atom beyond its block");
  if (lengthCache(c) == 0) longAtomLengths().erase(c);
  char* text = const_cast<char*>(chars(c));
  text[length] = '\0';
  text[length + 1] = 0;  // the kind is decided anew
  if (length < kLengthLimit) {
    setLengthCache(c, length);
  } else {
    setLengthCache(c, 0);
    longAtomLengths()[c] = length;
  }
}

Handle sealAtom(Cell* c, std::size_t length) {
  // A plain atom's text ends at its first NUL; when that makes a long atom short, it
  // moves to a small block, so that its release can tell its size from its text.
  if (!holdsLength(c) && length > kSmallAtom) {
    std::size_t shown = std::strlen(chars(c));
    if (shown <= kSmallAtom) {
      Cell* small = allocateAtom(shown);
      std::memcpy(const_cast<char*>(chars(small)), chars(c), shown);
      ++pool::released;
      budgetFree(c);
      c = small;
      length = shown;
    }
  }
  if (holdsLength(c)) {
    if (length > 0 && length < kLengthLimit) setLengthCache(c, length);
    else if (length > 0)
      longAtomLengths()[c] = length;
  }
  return Handle(c);
}

Handle makeAtom(std::string_view bytes) {
  return makeAtomWith(bytes.size(), [&](char* out) {
    if (!bytes.empty()) std::memcpy(out, bytes.data(), bytes.size());
  });
}

Handle makeAtom(const char* nulTerminated) {
  invariant(nulTerminated != nullptr, "atom from a null string");
  return makeAtom(std::string_view(nulTerminated));
}

Handle makePair(const Handle& f, const Handle& a, const Handle& b) {
  return makePair(makePair(f, a), Handle(b));
}

Handle makePair(const Handle& f, const Handle& a, const Handle& b, const Handle& c) {
  return makePair(makePair(f, a, b), Handle(c));
}

Handle makePair(Handle&& f, Handle&& a, Handle&& b) {
  return makePair(makePair(std::move(f), std::move(a)), std::move(b));
}

Handle makePair(Handle&& f, Handle&& a, Handle&& b, Handle&& c) {
  return makePair(makePair(makePair(std::move(f), std::move(a)), std::move(b)), std::move(c));
}

}  // namespace cells
