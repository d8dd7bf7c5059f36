// The cell store: every value the interpreter builds is a tree of reference-counted
// cells. A cell is a pair (function part, argument) or an atom holding a byte text.
// This file owns the one-word header, the two shapes, reference counting, the
// `Handle` through which all code holds cells, and the accessors.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

#include "cells/invariant.h"

namespace cells {

// Header bits, from the least significant:
//   0..29  reference count
//  30..55  a field whose meaning the cell decides (headerFieldOf, below): a measured
//          atom's length (0 when not set), or an "@" pair's; the free-letter mask of
//          any other pair or of a one-letter variable; the engine's resolution slot of
//          any other plain atom
//  56..61  graph annotation v, stored as v + 52; 0 means not yet computed
//  62      with bits 56..61 zero: the data marker "@"; otherwise the annotation flag
//  63      atom flag
struct Cell {
  uint64_t header;
  // A pair continues with two child pointers (24 bytes in all); an atom with its
  // text bytes and one terminating NUL.
};

inline constexpr uint64_t kCountBits = 30;
inline constexpr uint64_t kCountMask = (uint64_t{1} << kCountBits) - 1;
inline constexpr int kLengthShift = 30;
inline constexpr uint64_t kLengthLimit = uint64_t{1} << 26;
inline constexpr uint64_t kLengthMask = (kLengthLimit - 1) << kLengthShift;
inline constexpr int kTopShift = 56;
inline constexpr uint64_t kAnnotationMask = uint64_t{0x3F} << kTopShift;
inline constexpr uint64_t kMarkerBit = uint64_t{1} << 62;
inline constexpr uint64_t kAtomBit = uint64_t{1} << 63;
inline constexpr int kAnnotationMin = -52;
inline constexpr int kAnnotationMax = 11;
// Atoms of at most this many bytes fit a pair's 24 bytes (header, text, NUL) and
// share the pairs' free list: most numerals a program computes are that short.
inline constexpr std::size_t kSmallAtom = 15;

// Ends the process with the report of exhausted memory and status 128; every
// allocation of the interpreter that fails comes here.
[[noreturn]] void outOfMemory();

// The number of cells alive in the process, less those it keeps for the whole run;
// tests require it unchanged around each operation once its results are dropped.
std::size_t liveCells();
std::size_t cellsMade();  // since the start, for measuring the engine

// ---- The block pool ------------------------------------------------------------

// Pairs and small atoms are the cells made and dropped at every machine step, so
// their 24-byte blocks come from chunks threaded into a free list rather than from
// malloc one by one; the fast paths are inline. Sanitizer builds use malloc for
// every block, so that each one is checked on its own. Made and released are
// counted apart: one counter moved up and down at every allocation and release
// would chain each store to the next load.
namespace pool {
struct FreeBlock {
  FreeBlock* next;
};
inline FreeBlock* freeBlocks = nullptr;
inline std::size_t made = 0;
inline std::size_t released = 0;
inline std::size_t kept = 0;  // made once and held for the whole run (shared numerals): not live
Cell* refill();               // threads a new chunk into the list and takes a block from it
Cell* allocatePlain();
void freePlain(Cell* c);
}  // namespace pool

inline Cell* allocateBlock() {
#ifdef VORL_PLAIN_ALLOCATION
  return pool::allocatePlain();
#else
  pool::FreeBlock* p = pool::freeBlocks;
  if (!p) [[unlikely]]
    return pool::refill();
  pool::freeBlocks = p->next;
  ++pool::made;
  return reinterpret_cast<Cell*>(p);
#endif
}

inline void freeBlock(Cell* c) {
  ++pool::released;
#ifdef VORL_PLAIN_ALLOCATION
  pool::freePlain(c);
#else
  auto* p = reinterpret_cast<pool::FreeBlock*>(c);
  p->next = pool::freeBlocks;
  pool::freeBlocks = p;
#endif
}

// ---- Shape and header fields -------------------------------------------------

inline bool isAtom(const Cell* c) { return (c->header & kAtomBit) != 0; }
inline bool isPair(const Cell* c) { return (c->header & kAtomBit) == 0; }
inline uint32_t refCount(const Cell* c) { return uint32_t(c->header & kCountMask); }

inline Cell* const* children(const Cell* c) { return reinterpret_cast<Cell* const*>(c + 1); }
inline Cell* leftOf(const Cell* c) {
  invariant(isPair(c), "left child of an atom");
  return children(c)[0];
}
inline Cell* rightOf(const Cell* c) {
  invariant(isPair(c), "right child of an atom");
  return children(c)[1];
}
// The atom's bytes; always followed by a NUL.
inline const char* chars(const Cell* c) { return reinterpret_cast<const char*>(c + 1); }
// First text byte of an atom; 0 for a pair.
inline unsigned char firstByte(const Cell* c) {
  return isAtom(c) ? static_cast<unsigned char>(chars(c)[0]) : 0;
}

inline uint64_t lengthCache(const Cell* c) { return (c->header & kLengthMask) >> kLengthShift; }
inline void setLengthCache(Cell* c, uint64_t length) {
  invariant(length < kLengthLimit, "length cache out of range");
  c->header = (c->header & ~kLengthMask) | (length << kLengthShift);
}

inline bool isAnnotated(const Cell* c) { return (c->header & (kAnnotationMask | kMarkerBit)) != 0; }
inline bool isDataMarked(const Cell* c) { return (c->header & (kAnnotationMask | kMarkerBit)) == kMarkerBit; }
// The signed count of missing arguments; only meaningful when annotated and not "@".
inline int annotationValue(const Cell* c) {
  return int((c->header & kAnnotationMask) >> kTopShift) + kAnnotationMin;
}
inline bool annotationFlag(const Cell* c) {
  return (c->header & kAnnotationMask) != 0 && (c->header & kMarkerBit) != 0;
}
// Keeps bits 62 and 63.
inline void setAnnotation(Cell* c, int v) {
  invariant(v <= kAnnotationMax, "annotation above 11");
  invariant(v >= kAnnotationMin, "annotation below -52");
  c->header = (c->header & ~kAnnotationMask) | (uint64_t(v - kAnnotationMin) << kTopShift);
}
inline void setAnnotationFlag(Cell* c, bool flag) {
  c->header = flag ? (c->header | kMarkerBit) : (c->header & ~kMarkerBit);
}
inline void markData(Cell* c) { c->header = (c->header & ~kAnnotationMask) | kMarkerBit; }

// ---- Text --------------------------------------------------------------------

// What an atom is, told by its first text byte: the one decoding of that byte,
// which every layer calls.
enum class AtomKind : uint8_t {
  plain,          // a name, a one-letter atom, an operator
  fixedBinary,    // " " and eight raw bytes: a real
  countedBinary,  // "(" + base-64 length digits + ")" + payload: a byte string
  numeral,        // a digit first: a number when every byte is a digit
  bracketed,      // "[": a text when it is one bracket group
  update,         // ")" + a name: the write-back form of a unit definition
  closing,        // "]"
  empty,          // the empty text
};
inline constexpr std::array<AtomKind, 256> kAtomKinds = [] {
  std::array<AtomKind, 256> t{};
  for (int c = '0'; c <= '9'; ++c) t[c] = AtomKind::numeral;
  t[' '] = AtomKind::fixedBinary;
  t['('] = AtomKind::countedBinary;
  t['['] = AtomKind::bracketed;
  t[')'] = AtomKind::update;
  t[']'] = AtomKind::closing;
  t[0] = AtomKind::empty;
  return t;
}();
inline constexpr AtomKind atomKind(unsigned char first) { return kAtomKinds[first]; }
inline AtomKind atomKind(const Cell* c) { return atomKind(static_cast<unsigned char>(chars(c)[0])); }

// Atoms whose length is recorded in the header (or, from 2^26 bytes, in a side
// table) rather than found by a scan.
inline constexpr bool isMeasured(AtomKind kind) {
  return kind == AtomKind::fixedBinary || kind == AtomKind::countedBinary || kind == AtomKind::numeral ||
         kind == AtomKind::bracketed;
}

// What the header's 26-bit field (bits 30..55) holds for a cell: every reader and
// writer of the field asks here. The letter test comes first, so that a caller
// wanting only the mask pays no kind lookup.
enum class HeaderField : uint8_t {
  length,          // a measured atom's bytes, or an "@" pair's total; 0: not recorded
  letterMask,      // the free letters of a pair or of a one-letter variable
  resolutionSlot,  // the engine's cache entry of any other plain atom; 0: none
};
inline HeaderField headerFieldOf(const Cell* c) {
  if (isPair(c)) return isDataMarked(c) ? HeaderField::length : HeaderField::letterMask;
  const char* t = chars(c);
  if (t[0] >= 'a' && t[0] <= 'z' && t[1] == '\0') return HeaderField::letterMask;
  return isMeasured(atomKind(c)) ? HeaderField::length : HeaderField::resolutionSlot;
}

// The text of a cell: empty for a pair; otherwise by the atom's kind, told by its
// first byte (fixed-size, counted binary, numeral, bracketed or plain atom).
std::string_view text(const Cell* c);

// Whether c is the atom of text t (not empty). The first byte rejects almost every
// atom before the text is measured, and a one-byte text that cannot begin a
// measured atom needs no measuring at all.
inline bool isAtomText(const Cell* c, std::string_view t) {
  if (!isAtom(c) || t.empty() || chars(c)[0] != t[0]) return false;
  if (t.size() == 1 && !isMeasured(atomKind(static_cast<unsigned char>(t[0])))) return chars(c)[1] == '\0';
  return text(c) == t;
}

// The six kinds of a value, which every built-in checks its arguments by (decided by
// numbers::valueKind). The letters are those the kinds have always been stored as.
enum class ValueKind : char {
  undecided = 0,     // only as the cached byte of an atom not looked at yet
  byteString = 'a',  // "[post]"
  real = 'e',        // "[real]"
  integer = 'i',     // "[hint]"
  numb = 'o',        // "[numb]"
  text = 'u',        // "[zits]"
  other = 'w',       // "[void]": anything else
};

// A measured atom longer than kSmallAtom bytes keeps one byte after its NUL for its
// value kind, which the numbers layer decides at its first look (a text's brackets
// or a numeral's digits are then never scanned again: an atom's bytes never change
// while anyone else can see them). A short atom keeps no such byte and always gives
// `undecided`.
ValueKind cachedValueKind(const Cell* c);
void cacheValueKind(const Cell* c, ValueKind kind);

// Value of one digit of the base-64 alphabet used by counted atoms and position codes.
inline constexpr std::string_view kDigitAlphabet =
    "_abcdefghijklmnopqrustvwzxy0123456789ABCDEFGHIJKLMNOPQRUSTVWZXY~";
int digitValue(unsigned char c);  // -1 for a byte outside the alphabet

// ---- Counting ----------------------------------------------------------------

inline void incref(Cell* c) {
  c->header += 1;
  invariant((c->header & kCountMask) != 0, "reference count overflow");
}
void releaseLast(Cell* c);
inline void decref(Cell* c) {
  invariant((c->header & kCountMask) != 0, "release of a cell without references");
  if ((--c->header & kCountMask) == 0) releaseLast(c);
}

// ---- Handle ------------------------------------------------------------------

// Owns one reference to a cell, or none when empty (a fresh result slot, a handle
// that was moved from).
class Handle {
 public:
  Handle() noexcept = default;
  explicit Handle(Cell* c) noexcept : cell_(c) {
    if (c) incref(c);
  }
  Handle(const Handle& h) noexcept : Handle(h.cell_) {}
  Handle(Handle&& h) noexcept : cell_(std::exchange(h.cell_, nullptr)) {}
  ~Handle() {
    if (cell_) decref(cell_);
  }
  // Adds before it drops, so assigning a handle to another of the same cell is safe.
  Handle& operator=(const Handle& h) noexcept {
    if (h.cell_) incref(h.cell_);
    if (cell_) decref(cell_);
    cell_ = h.cell_;
    return *this;
  }
  Handle& operator=(Handle&& h) noexcept {
    if (this != &h) {
      Cell* old = std::exchange(cell_, std::exchange(h.cell_, nullptr));
      if (old) decref(old);
    }
    return *this;
  }

  // Adopts a reference that the caller already owns (the counterpart of `release`).
  static Handle adopt(Cell* c) noexcept {
    Handle h;
    h.cell_ = c;
    return h;
  }
  // Gives up the reference without dropping it.
  Cell* release() noexcept { return std::exchange(cell_, nullptr); }

  Cell* get() const noexcept { return cell_; }
  explicit operator bool() const noexcept { return cell_ != nullptr; }
  bool isPair() const { return cells::isPair(checked()); }
  unsigned char firstByte() const { return cells::firstByte(checked()); }
  std::string_view text() const { return cells::text(checked()); }
  Handle left() const { return Handle(leftOf(checked())); }
  Handle right() const { return Handle(rightOf(checked())); }

 private:
  Cell* checked() const {
    invariant(cell_ != nullptr, "use of an empty handle");
    return cell_;
  }
  Cell* cell_ = nullptr;
};

// Holds a cell for the whole run (a table of shared atoms): it counts as live no more.
inline Cell* keepForRun(Handle h) {
  ++pool::kept;
  return h.release();
}

// ---- Construction ------------------------------------------------------------

// An atom of the given bytes (inner NUL bytes included; a NUL is appended).
Handle makeAtom(std::string_view bytes);
// An atom of a NUL-terminated string.
Handle makeAtom(const char* nulTerminated);

// An atom of `length` bytes written by `fill(char* destination)`, for results that
// are computed straight into the atom (one allocation).
Cell* allocateAtom(std::size_t length);
Handle sealAtom(Cell* c, std::size_t length);
template <class Fill>
Handle makeAtomWith(std::size_t length, Fill&& fill) {
  Cell* c = allocateAtom(length);
  fill(const_cast<char*>(chars(c)));
  return sealAtom(c, length);
}

// Growth in place, for a text that only its maker can see (a join whose left operand
// no one else holds): an atom allocated with room for `capacity` text bytes, whether
// an atom's block has room for `length`, and the new length of such an atom once its
// bytes are written up to there (its NUL is written here, and its kind forgotten).
Cell* allocateAtom(std::size_t length, std::size_t capacity);
bool hasRoomFor(const Cell* c, std::size_t length);
void resizeAtom(Cell* c, std::size_t length);

// A measured atom (a numeral, say) of 1 to kSmallAtom bytes given as its whole block
// in two words, in memory order: the text, a NUL, and zeros to the end. The fast
// path of small arithmetic (words, not bytes: a block stored bytewise and read back
// whole stalls the store).
inline Handle makeSmallAtom(uint64_t front, uint64_t back, std::size_t length) {
  invariant(length - 1 < kSmallAtom, "small atom of a wrong length");
  Cell* c = allocateBlock();
  char* text = reinterpret_cast<char*>(c + 1);
  std::memcpy(text, &front, 8);
  std::memcpy(text + 8, &back, 8);
  c->header = kAtomBit | uint64_t(length) << kLengthShift | 1;
  return Handle::adopt(c);
}

// (f a); the children gain a reference each.
// The pair (f a), a block from the pool; inline, as the machine makes one at nearly
// every step.
inline Cell* newPair(Cell* f, Cell* a) {
  invariant(f && a, "pair with a missing child");
  Cell* c = allocateBlock();
  c->header = 0;
  Cell** slots = reinterpret_cast<Cell**>(c + 1);
  slots[0] = f;
  slots[1] = a;
  return c;
}

inline Handle makePair(Cell* f, Cell* a) {
  incref(f);
  incref(a);
  return Handle(newPair(f, a));
}
inline Handle makePair(const Handle& f, const Handle& a) { return makePair(f.get(), a.get()); }
// ((f a) b) and (((f a) b) c).
Handle makePair(const Handle& f, const Handle& a, const Handle& b);
Handle makePair(const Handle& f, const Handle& a, const Handle& b, const Handle& c);
// Consuming variants: the inputs' references pass to the new pair.
inline Handle makePair(Handle&& f, Handle&& a) {
  Cell* p = newPair(f.get(), a.get());
  f.release();
  a.release();
  return Handle(p);
}
Handle makePair(Handle&& f, Handle&& a, Handle&& b);
Handle makePair(Handle&& f, Handle&& a, Handle&& b, Handle&& c);

}  // namespace cells
