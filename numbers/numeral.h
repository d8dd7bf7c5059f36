// Decimal numeral texts and the integer arithmetic that stays linear: signed
// addition, subtraction, negation and comparison. A numeral is "0", a positive
// integer's digits without leading zeros, or "0" followed by a magnitude for a
// negative integer ("05" is minus five). Texts beginning "00" are numbs (numb.h).
// Operands of up to 18 digits take a 64-bit path that allocates nothing but the
// result atom; longer ones run digit loops over the texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cells/cell.h"
#include "cells/convert.h"

namespace numbers {

// The most bytes an operation's result may take (2^40 bits): a product, power,
// repetition or join beyond it gives "Z" rather than exhausting memory, as no host
// holds it. The fuzzing build lowers it, so that no input can drive the process past
// the fuzzer's memory limit in a few doublings.
#ifdef VORL_SANDBOX
inline constexpr uint64_t kLargestResultBytes = uint64_t{1} << 22;
#else
inline constexpr uint64_t kLargestResultBytes = uint64_t{1} << 37;
#endif

// The numeral format is the cell layer's (cells::numeralForm): an integer numeral,
// and a number text of either kind (an integer or a numb: decimal digits only).
inline bool isNumeral(std::string_view s) { return cells::numeralForm(s) == cells::NumeralForm::integer; }
inline bool isDigitText(std::string_view s) { return cells::numeralForm(s) != cells::NumeralForm::none; }
using cells::isNegativeText;
// The digits without the sign "0" ("0" stays "0").
inline std::string_view magnitudeOf(std::string_view s) { return isNegativeText(s) ? s.substr(1) : s; }

// The value of a numeral of at most 18 magnitude digits.
std::optional<int64_t> smallNumeral(std::string_view s);

// The canonical numeral text of an integer or numb value: a numeral atom's own
// bytes, "0" for the atom "K" (the empty bit stream), or the text of a bit stream.
// Not valid for anything else, nor for a malformed stream or an atom that holds a
// byte other than a digit. Views into the cell: keep the cell while using it.
class NumeralText {
 public:
  explicit NumeralText(const cells::Cell* c);
  NumeralText(const NumeralText&) = delete;
  NumeralText& operator=(const NumeralText&) = delete;

  bool valid() const { return valid_; }
  std::string_view view() const { return view_; }

 private:
  std::string owned_;
  std::string_view view_;
  bool valid_ = false;
};

// The atom of a numeral text, checked once more.
cells::Handle makeNumeral(std::string_view s);

cells::Handle numeralAdd(std::string_view a, std::string_view b);
cells::Handle numeralSubtract(std::string_view a, std::string_view b);
std::string numeralNegate(std::string_view a);

// The order of numeral texts.
bool numeralTextLess(std::string_view a, std::string_view b);

}  // namespace numbers
