#include "cells/cell.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace cells {
namespace {

// The top byte (bits 56..63): 0x80 plus the annotation for an atom; 0x40 in its low
// seven bits with no annotation value is the "@" marker.
uint8_t topByte(const Cell* c) { return uint8_t(c->header >> kTopShift); }

// Requires the live-cell count to be back where it started when the test ends.
class CellTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(liveCells(), before_); }
  std::size_t before_ = liveCells();
};

TEST_F(CellTest, FreshAtomHeader) {
  Cell* twelve = allocateAtom(2);
  const_cast<char*>(chars(twelve))[0] = '1';
  const_cast<char*>(chars(twelve))[1] = '2';
  Handle h = sealAtom(twelve, 2);
  EXPECT_EQ(refCount(h.get()), 1u);
  EXPECT_TRUE(isAtom(h.get()));
  EXPECT_EQ(lengthCache(h.get()), 2u);
  EXPECT_EQ(topByte(h.get()), 0x80);
  EXPECT_FALSE(isAnnotated(h.get()));

  Handle abc = makeAtom("abc");
  EXPECT_EQ(lengthCache(abc.get()), 0u);
  EXPECT_EQ(abc.text(), "abc");
}

TEST_F(CellTest, AtomKindLengths) {
  struct Case {
    const char* name;
    std::string bytes;
    std::size_t length;
  } cases[] = {
      {"plain stops at NUL", std::string("ab\0cd", 5), 2},
      {"numeral", "0123", 4},
      {"bracketed keeps inner NULs", std::string("[a\0]", 4), 4},
      {"nested brackets", "[[x] y]", 7},
      {"counted with digit b", "(b)xy", 5},
      {"counted, empty payload", "()", 2},
      {"counted with NUL payload", std::string("(c)\0\0\0", 6), 6},
      {"fixed-size real", std::string(" \0\0\0\0\0\0\xF0\x3F", 9), 9},
      {"empty atom", "", 0},
  };
  for (const Case& c : cases) {
    Handle h = makeAtom(std::string_view(c.bytes));
    EXPECT_EQ(h.text().size(), c.length) << c.name;
    EXPECT_EQ(h.text(), std::string_view(c.bytes).substr(0, c.length)) << c.name;
  }
}

// The first byte tells the kind; a long measured atom keeps a byte for its value
// kind, a short one keeps none.
TEST_F(CellTest, AtomKindsAndTheKindByte) {
  struct {
    const char* bytes;
    AtomKind kind;
  } kinds[] = {{"abc", AtomKind::plain},          {" 12345678", AtomKind::fixedBinary},
               {"(a)x", AtomKind::countedBinary}, {"05", AtomKind::numeral},
               {"[x]", AtomKind::bracketed},      {")name", AtomKind::update},
               {"]", AtomKind::closing},          {"", AtomKind::empty}};
  for (auto& k : kinds) EXPECT_EQ(atomKind(makeAtom(k.bytes).get()), k.kind) << k.bytes;

  Handle longText = makeAtom("[a text longer than a small block]");
  Handle shortText = makeAtom("[short]");
  Handle name = makeAtom("a_plain_name_longer_than_a_block");
  for (const Handle& h : {longText, shortText, name})
    EXPECT_EQ(cachedValueKind(h.get()), ValueKind::undecided);
  for (const Handle& h : {longText, shortText, name}) cacheValueKind(h.get(), ValueKind::text);
  EXPECT_EQ(cachedValueKind(longText.get()), ValueKind::text);
  EXPECT_EQ(cachedValueKind(shortText.get()), ValueKind::undecided);
  EXPECT_EQ(cachedValueKind(name.get()), ValueKind::undecided);
  EXPECT_EQ(longText.text(), "[a text longer than a small block]");
}

// The header field by the cell: a length, a letter mask or a resolution slot.
TEST_F(CellTest, HeaderFieldByCell) {
  Handle pair = makePair(makeAtom("f"), makeAtom("x"));
  Handle dataPair = makePair(makeAtom("[a]"), makeAtom("[b]"));
  markData(dataPair.get());
  struct {
    const char* name;
    Handle cell;
    HeaderField field;
  } cases[] = {
      {"pair", pair, HeaderField::letterMask},
      {"\"@\" pair", dataPair, HeaderField::length},
      {"one-letter variable", Handle(leftOf(pair.get())), HeaderField::letterMask},
      {"numeral", makeAtom("12"), HeaderField::length},
      {"bracketed", makeAtom("[a]"), HeaderField::length},
      {"counted binary", makeAtom("(a)x"), HeaderField::length},
      {"fixed-size real", makeAtom(std::string_view(" 12345678")), HeaderField::length},
      {"name", makeAtom("ab"), HeaderField::resolutionSlot},
      {"capital letter", makeAtom("Z"), HeaderField::resolutionSlot},
      {"update", makeAtom(")name"), HeaderField::resolutionSlot},
      {"empty atom", makeAtom(""), HeaderField::resolutionSlot},
  };
  for (auto& c : cases) EXPECT_EQ(headerFieldOf(c.cell.get()), c.field) << c.name;
}

// The one-byte fast path must not take a measured atom with a NUL inside for "[".
TEST_F(CellTest, AtomTextTest) {
  using namespace std::string_literals;
  Handle nulInside = makeAtom("[\0]"s);
  EXPECT_TRUE(isAtomText(makeAtom("[").get(), "["));
  EXPECT_FALSE(isAtomText(nulInside.get(), "["));
  EXPECT_TRUE(isAtomText(makeAtom("\\").get(), "\\"));
  EXPECT_FALSE(isAtomText(makeAtom("\\a").get(), "\\"));
  EXPECT_TRUE(isAtomText(makeAtom("plus").get(), "plus"));
  EXPECT_FALSE(isAtomText(makePair(makeAtom("K"), makeAtom("K")).get(), "K"));
}

// An atom made with room grows within its block; its kind is then forgotten.
TEST_F(CellTest, AtomsGrowWithinTheirRoom) {
  std::string bytes = "[sixteen bytes..]";
  Cell* c = allocateAtom(bytes.size(), 100);
  std::memcpy(const_cast<char*>(chars(c)), bytes.data(), bytes.size());
  Handle h = sealAtom(c, bytes.size());
  cacheValueKind(h.get(), ValueKind::text);
  EXPECT_TRUE(hasRoomFor(h.get(), 100));
  EXPECT_FALSE(hasRoomFor(h.get(), 4096));
  EXPECT_FALSE(hasRoomFor(makeAtom("[short]").get(), 8));
  EXPECT_FALSE(hasRoomFor(makeAtom("plain names stay as they are").get(), 30));
  std::string grown = "[sixteen bytes.. and then some]";
  std::memcpy(const_cast<char*>(chars(c)), grown.data(), grown.size());
  resizeAtom(c, grown.size());
  EXPECT_EQ(h.text(), grown);
  EXPECT_EQ(chars(c)[grown.size()], '\0');
  EXPECT_EQ(cachedValueKind(h.get()), ValueKind::undecided);
}

TEST_F(CellTest, PairShape) {
  Handle f = makeAtom("f"), x = makeAtom("x");
  Handle p = makePair(f, x);
  EXPECT_TRUE(p.isPair());
  EXPECT_EQ(p.text(), "");
  EXPECT_EQ(p.firstByte(), 0);
  EXPECT_EQ(p.left().get(), f.get());
  EXPECT_EQ(p.right().get(), x.get());
  EXPECT_EQ(refCount(f.get()), 2u);
  EXPECT_EQ(topByte(p.get()), 0x00);

  Handle fab = makePair(f, x, x, f);  // (((f x) x) f)
  EXPECT_EQ(rightOf(fab.get()), f.get());
  EXPECT_EQ(rightOf(leftOf(fab.get())), x.get());
  EXPECT_EQ(leftOf(leftOf(leftOf(fab.get()))), f.get());
}

TEST_F(CellTest, CountsThroughCopyMoveAndAssign) {
  Handle a = makeAtom("a");
  Cell* cell = a.get();
  {
    Handle copy = a;
    EXPECT_EQ(refCount(cell), 2u);
    Handle moved = std::move(copy);
    EXPECT_EQ(refCount(cell), 2u);
    EXPECT_FALSE(copy);
  }
  EXPECT_EQ(refCount(cell), 1u);

  Handle& alias = a;
  a = alias;  // self-assignment
  EXPECT_EQ(refCount(cell), 1u);
  Handle other = a;
  a = other;  // two handles of one cell
  EXPECT_EQ(refCount(cell), 2u);
  a = std::move(alias);  // self-move
  EXPECT_EQ(refCount(cell), 2u);

  Handle b = makeAtom("b");
  other = b;  // drops a reference to a, adds one to b
  EXPECT_EQ(refCount(cell), 1u);
  EXPECT_EQ(refCount(b.get()), 2u);
}

TEST_F(CellTest, ConsumingPairTakesReferences) {
  Handle f = makeAtom("f");
  Cell* fc = f.get();
  Handle p = makePair(std::move(f), makeAtom("x"), makeAtom("y"));
  EXPECT_FALSE(f);
  EXPECT_EQ(refCount(fc), 1u);
  EXPECT_EQ(chars(rightOf(p.get()))[0], 'y');
}

TEST_F(CellTest, ReleaseKeepsSharedChild) {
  Handle shared = makeAtom("s");
  {
    Handle p = makePair(shared, makeAtom("x"));
    EXPECT_EQ(refCount(shared.get()), 2u);
  }
  EXPECT_EQ(refCount(shared.get()), 1u);
}

TEST_F(CellTest, MillionDeepChainsReleaseWithoutRecursion) {
  Handle leaf = makeAtom("x");
  Handle leftChain = leaf, rightChain = leaf;
  for (int i = 0; i < 1000000; ++i) {
    leftChain = makePair(std::move(leftChain), Handle(leaf));
    rightChain = makePair(Handle(leaf), std::move(rightChain));
  }
  EXPECT_EQ(liveCells(), before_ + 1 + 2000000);
  leftChain = Handle();
  rightChain = Handle();
  EXPECT_EQ(refCount(leaf.get()), 1u);
}

// Every size class of atom keeps its exact text and is released to the right place:
// short blocks, longer blocks, and texts beyond the 26-bit length cache, whose length
// lives in a side table until the atom goes.
TEST_F(CellTest, AtomsOfEverySizeKeepTheirTextAndAreReleased) {
  std::string beyondCache = "[" + std::string(std::size_t(kLengthLimit), 'a') + "]";
  for (const std::string& t :
       {std::string("x"), std::string("123456789012345"), std::string("1234567890123456"),
        std::string("plain_atom_longer_than_a_block"), std::string(3, '\0'), beyondCache}) {
    Handle a = makeAtom(t);
    std::string_view expected = t[0] == '\0' ? std::string_view() : std::string_view(t);
    ASSERT_EQ(a.text(), expected) << t.size();
  }
}

TEST_F(CellTest, AnnotationBits) {
  Handle a = makeAtom("a");
  Cell* c = a.get();
  setAnnotation(c, 11);
  EXPECT_EQ(topByte(c), 0x80 + 63);
  EXPECT_EQ(annotationValue(c), 11);
  setAnnotation(c, -52 + 1);
  EXPECT_EQ(annotationValue(c), -51);
  setAnnotationFlag(c, true);
  EXPECT_TRUE(annotationFlag(c));
  EXPECT_FALSE(isDataMarked(c));
  setAnnotation(c, 2);  // keeps the flag and the atom bit
  EXPECT_EQ(topByte(c), 0x80 | 0x40 | 54);

  markData(c);
  EXPECT_TRUE(isDataMarked(c));
  EXPECT_EQ(topByte(c) & 0x7F, '@');
  EXPECT_FALSE(annotationFlag(c));

  setLengthCache(c, kLengthLimit - 1);
  EXPECT_EQ(lengthCache(c), kLengthLimit - 1);
  EXPECT_EQ(refCount(c), 1u);
  EXPECT_TRUE(isDataMarked(c));
}

TEST(CellDeathTest, MisuseAborts) {
  Handle a = makeAtom("a");
  EXPECT_DEATH(setAnnotation(a.get(), 12), "ASSERTION FAILED:");
  EXPECT_DEATH(setAnnotation(a.get(), -53), "ASSERTION FAILED:");
  EXPECT_DEATH(setLengthCache(a.get(), kLengthLimit), "ASSERTION FAILED:");
  EXPECT_DEATH(a.left(), "ASSERTION FAILED:");
  EXPECT_DEATH(a.right(), "ASSERTION FAILED:");
  EXPECT_DEATH(Handle().text(), "ASSERTION FAILED:");
  EXPECT_DEATH(makeAtom(static_cast<const char*>(nullptr)), "ASSERTION FAILED:");
}

TEST(CellDigitsTest, AlphabetOrder) {
  EXPECT_EQ(digitValue('_'), 0);
  EXPECT_EQ(digitValue('u'), 19);
  EXPECT_EQ(digitValue('s'), 20);
  EXPECT_EQ(digitValue('x'), 25);
  EXPECT_EQ(digitValue('y'), 26);
  EXPECT_EQ(digitValue('0'), 27);
  EXPECT_EQ(digitValue('A'), 37);
  EXPECT_EQ(digitValue('~'), 63);
  EXPECT_EQ(digitValue(')'), -1);
}

}  // namespace
}  // namespace cells
