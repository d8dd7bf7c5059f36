#include "numbers/bit_form.h"

#include <gtest/gtest.h>

#include "cells/common_atoms.h"
#include "cells/convert.h"
#include "numbers/numeral.h"
#include "numbers/value_kind.h"

namespace numbers {
namespace {

using cells::Handle;

class BitFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    installCellSeams();
    cells::common(cells::Common::K);  // shared atoms live for the whole process
    before_ = cells::liveCells();
  }
  void TearDown() override { EXPECT_EQ(cells::liveCells(), before_); }
  std::size_t before_ = 0;
};

// The stream of bits given as a string of K and H, ending in the tail atom.
Handle stream(std::string_view bits, Handle tail) {
  for (std::size_t i = bits.size(); i-- > 0;)
    tail = cells::makePair(cells::makePair(cells::makeAtom("J"), cells::makeAtom(std::string(1, bits[i]))),
                           std::move(tail));
  return tail;
}

TEST_F(BitFormTest, StreamsRead) {
  struct {
    const char* bits;
    const char* tail;
    const char* text;
  } cases[] = {{"KKKHK", "K", "5"}, {"KHHK", "K", "02"}, {"K", "K", "0"},          {"H", "K", "00"},
               {"KK", "5", "23"},   {"KH", "K", "0"},    {"HKKHHHKH", "K", "0017"}};
  for (auto& c : cases) {
    Handle s = stream(c.bits, cells::makeAtom(c.tail));
    EXPECT_EQ(streamNumeralText(s.get()), c.text) << c.bits << " " << c.tail;
  }
  EXPECT_EQ(cells::int64FromCell(stream("KHHK", cells::makeAtom("K")).get()), -2);
}

// One bad element anywhere, or a tail that is no number, and the stream is none.
TEST_F(BitFormTest, MalformedStreamsAreNoNumbers) {
  struct {
    const char* bits;
    const char* tail;
  } cases[] = {{"KX", "K"},  {"KI", "K"}, {"KKKKKKKKKKI", "K"}, {"HI", "K"}, {"KK", "[x]"},
               {"KK", "5a"}, {"H", "H"}};
  for (auto& c : cases) {
    Handle s = stream(c.bits, cells::makeAtom(c.tail));
    EXPECT_FALSE(isWellFormedStream(s.get())) << c.bits << " " << c.tail;
    EXPECT_FALSE(streamNumeralText(s.get())) << c.bits << " " << c.tail;
    EXPECT_EQ(valueKind(s.get()), ValueKind::other) << c.bits << " " << c.tail;
    EXPECT_FALSE(cells::isInteger(s.get())) << c.bits << " " << c.tail;
  }
  // The element's head must be (J b) itself.
  Handle s = cells::makePair(cells::makePair(cells::makeAtom("J"), cells::makeAtom("K")),
                             cells::makePair(cells::makeAtom("J"), cells::makeAtom("K")));
  EXPECT_FALSE(cells::isInteger(s.get()));
  // Its integer value is never asked for: that would be a fault of ours.
  EXPECT_DEATH(cells::int64FromCell(stream("KX", cells::makeAtom("K")).get()), "ASSERTION FAILED:");
}

TEST_F(BitFormTest, WellFormedStreamsHaveTheKindOfTheirFirstBit) {
  struct {
    const char* bits;
    const char* tail;
    ValueKind kind;
  } cases[] = {{"K", "K", ValueKind::integer},  {"KHK", "K", ValueKind::integer},
               {"KK", "5", ValueKind::integer}, {"KK", "007", ValueKind::integer},
               {"H", "K", ValueKind::numb},     {"HKK", "05", ValueKind::numb}};
  for (auto& c : cases) {
    Handle s = stream(c.bits, cells::makeAtom(c.tail));
    EXPECT_TRUE(isWellFormedStream(s.get())) << c.bits << " " << c.tail;
    EXPECT_EQ(valueKind(s.get()), c.kind) << c.bits << " " << c.tail;
    EXPECT_EQ(cells::isInteger(s.get()), c.kind == ValueKind::integer) << c.bits << " " << c.tail;
  }
}

TEST_F(BitFormTest, TextsAndBitFormsRoundTrip) {
  struct {
    const char* text;
    std::string bitForm;
  } cases[] = {{"0", "\x03"},
               {"00", "\x02"},
               {"5", std::string("\x37", 1)},
               {"05", std::string("\x35", 1)},
               {"0017", std::string("\xC6", 1)}};
  for (auto& c : cases) {
    EXPECT_EQ(bitFormFromText(c.text), c.bitForm) << c.text;
    EXPECT_EQ(textFromBitForm(c.bitForm), c.text) << c.text;
  }
  for (const char* t :
       {"123456789012345678901234567890", "0987654321098765432109876543210", "000123", "0099"})
    EXPECT_EQ(textFromBitForm(bitFormFromText(t)), t);
}

TEST_F(BitFormTest, DecompositionIsTheStreamAfterItsFirstElement) {
  for (const char* n : {"5", "02", "0", "00", "0017", "123456789012345678901"}) {
    Handle numeral = cells::makeAtom(n);
    Handle rest = numeralDecomposition(numeral.get());
    const char* first = n[0] == '0' && n[1] == '0' ? "H" : "K";
    Handle whole = cells::makePair(cells::makePair(cells::makeAtom("J"), cells::makeAtom(first)), rest);
    EXPECT_EQ(streamNumeralText(whole.get()), n) << n;
  }
}

TEST_F(BitFormTest, MillionElementStream) {
  std::string bits = "KK" + std::string(1'000'000, 'H') + "K";
  Handle s = stream(bits, cells::makeAtom("K"));
  std::optional<std::string> text = streamNumeralText(s.get());
  ASSERT_TRUE(text);
  EXPECT_EQ(text->size(), 301030u);  // 2^1000000 has 301030 digits
  EXPECT_EQ(text->substr(0, 6), "990065");
  EXPECT_TRUE(cells::isInteger(s.get()));
  Handle broken = stream(bits.substr(0, bits.size() - 1) + "I", cells::makeAtom("K"));
  EXPECT_FALSE(cells::isInteger(broken.get()));
}

}  // namespace
}  // namespace numbers
