// Cell allocation, release and text lengths.
#include "cells/cell.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace cells {

std::size_t& liveCells() {
  static std::size_t count = 0;
  return count;
}

// Exact lengths of atoms too long for the 26-bit cache. They are rare (each holds
// 64 MiB or more), so a side table costs nothing on the common path and keeps every
// measured atom's length exact, whatever bytes it holds.
static std::unordered_map<const Cell*, std::size_t>& longAtomLengths() {
  static std::unordered_map<const Cell*, std::size_t> lengths;
  return lengths;
}

// Platform: allocation failure ends the run like any reported error, with status 128.
void outOfMemory() {
  std::fflush(stdout);
  std::fputs("Error.\n Type: Space\nOut of memory.\n\\/\n", stderr);
  std::_Exit(128);
}

static Cell* allocate(std::size_t bytes) {
  void* p = std::malloc(bytes);
  if (!p) outOfMemory();
  ++liveCells();
  return static_cast<Cell*>(p);
}

static constexpr std::size_t kPairBytes = sizeof(Cell) + 2 * sizeof(Cell*);

// Pairs are the cells made and dropped at every machine step, so they come from
// chunks threaded into a free list rather than from malloc one by one. Sanitizer
// builds use malloc for every pair, so that each one is checked on its own.
#ifdef VORL_PLAIN_ALLOCATION
static Cell* allocatePair() { return allocate(kPairBytes); }
static void freePair(Cell* c) { std::free(c); }
#else
namespace {
struct FreePair {
  FreePair* next;
};
}  // namespace

static FreePair*& freePairs() {
  static FreePair* list = nullptr;
  return list;
}

static Cell* allocatePair() {
  FreePair*& list = freePairs();
  if (!list) {
    constexpr std::size_t kChunk = 4096;
    char* chunk = static_cast<char*>(std::malloc(kChunk * kPairBytes));
    if (!chunk) outOfMemory();
    // Kept for the life of the process; listed so that leak checkers see them held.
    static auto* chunks = new std::vector<char*>;  // never destroyed, like the chunks
    chunks->push_back(chunk);
    for (std::size_t i = kChunk; i-- > 0;) {
      auto* p = reinterpret_cast<FreePair*>(chunk + i * kPairBytes);
      p->next = list;
      list = p;
    }
  }
  FreePair* p = list;
  list = p->next;
  ++liveCells();
  return reinterpret_cast<Cell*>(p);
}

static void freePair(Cell* c) {
  auto* p = reinterpret_cast<FreePair*>(c);
  p->next = freePairs();
  freePairs() = p;
}
#endif

// Atoms whose length is recorded rather than found by a scan: numerals and
// bracketed atoms (as the header layout prescribes), and also counted binary and
// fixed-size atoms, whose stated lengths a program could otherwise contradict.
static bool isMeasuredKind(unsigned char first) {
  return first == '[' || first == '(' || first == ' ' || (first >= '0' && first <= '9');
}

// Atoms of at most this many bytes fit a pair's 24 bytes (header, text, NUL) and
// share the pairs' free list: most numerals a program computes are that short.
static constexpr std::size_t kSmallAtom = kPairBytes - sizeof(Cell) - 1;

static void freeCell(Cell* c) {
  if (isPair(c)) {
    --liveCells();
    return freePair(c);
  }
  std::size_t length = text(c).size();
  if (lengthCache(c) == 0 && isMeasuredKind(firstByte(c))) longAtomLengths().erase(c);
  if (length <= kSmallAtom) {
    --liveCells();
    return freePair(c);
  }
  --liveCells();
  std::free(c);
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
  if (!isMeasuredKind(static_cast<unsigned char>(s[0]))) return {s, std::strlen(s)};
  if (uint64_t cached = lengthCache(c)) return {s, cached};
  auto found = longAtomLengths().find(c);
  invariant(found != longAtomLengths().end(), "measured atom without a length");
  return {s, found->second};
}

// Release of a cell whose count has reached zero: a pair drops its left child, then
// its right child, each of which may cascade. The walk keeps no stack of its own:
// a dead pair waiting for its right child to be released is linked into the pending
// list through its left-child slot, so chains of any depth cost no C stack.
void releaseLast(Cell* c) {
  Cell* pending = nullptr;
  for (;;) {
    while (c) {
      if (isAtom(c)) {
        freeCell(c);
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
    freeCell(done);
    invariant((right->header & kCountMask) != 0, "release of a cell without references");
    c = (--right->header & kCountMask) == 0 ? right : nullptr;
  }
}

Cell* allocateAtom(std::size_t length) {
  Cell* c = length <= kSmallAtom ? allocatePair() : allocate(sizeof(Cell) + length + 1);
  c->header = kAtomBit;
  const_cast<char*>(chars(c))[length] = '\0';
  return c;
}

Handle sealAtom(Cell* c, std::size_t length) {
  // A plain atom's text ends at its first NUL; when that makes a long atom short, it
  // moves to a small block, so that its release can tell its size from its text.
  if (!isMeasuredKind(firstByte(c)) && length > kSmallAtom) {
    std::size_t shown = std::strlen(chars(c));
    if (shown <= kSmallAtom) {
      Cell* small = allocateAtom(shown);
      std::memcpy(const_cast<char*>(chars(small)), chars(c), shown);
      --liveCells();
      std::free(c);
      c = small;
      length = shown;
    }
  }
  if (isMeasuredKind(firstByte(c))) {
    if (length > 0 && length < kLengthLimit)
      setLengthCache(c, length);
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

static Cell* newPair(Cell* f, Cell* a) {
  invariant(f && a, "pair with a missing child");
  Cell* c = allocatePair();
  c->header = 0;
  Cell** slots = reinterpret_cast<Cell**>(c + 1);
  slots[0] = f;
  slots[1] = a;
  return c;
}

Handle makePair(Cell* f, Cell* a) {
  incref(f);
  incref(a);
  return Handle(newPair(f, a));
}

Handle makePair(const Handle& f, const Handle& a, const Handle& b) {
  return makePair(makePair(f, a), Handle(b));
}

Handle makePair(const Handle& f, const Handle& a, const Handle& b, const Handle& c) {
  return makePair(makePair(f, a, b), Handle(c));
}

Handle makePair(Handle&& f, Handle&& a) {
  Cell* fc = f.get();
  Cell* ac = a.get();
  Cell* p = newPair(fc, ac);
  f.release();
  a.release();
  return Handle(p);
}

Handle makePair(Handle&& f, Handle&& a, Handle&& b) {
  return makePair(makePair(std::move(f), std::move(a)), std::move(b));
}

Handle makePair(Handle&& f, Handle&& a, Handle&& b, Handle&& c) {
  return makePair(makePair(makePair(std::move(f), std::move(a)), std::move(b)), std::move(c));
}

}  // namespace cells
