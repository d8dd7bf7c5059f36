// Integer operators on numerals of any length, both signs, checked against GMP
// computing the same results independently. The first byte picks the operator and
// the signs; the rest is split in two and read as decimal digits.
#include <gmp.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cells/cell.h"
#include "library/builtin_table.h"
#include "numbers/value_kind.h"

namespace {

// The numeral text of an mpz: "0", digits, or "0" + digits for a negative value.
std::string numeralOf(const mpz_t v) {
  if (mpz_sgn(v) == 0) return "0";
  char* digits = mpz_get_str(nullptr, 10, v);
  std::string text = digits[0] == '-' ? "0" + std::string(digits + 1) : std::string(digits);
  void (*freeFunction)(void*, size_t);
  mp_get_memory_functions(nullptr, nullptr, &freeFunction);
  freeFunction(digits, std::char_traits<char>::length(digits) + 1);
  return text;
}

// Digits from bytes, without leading zeros; "0" when nothing is left.
std::string digitsOf(const uint8_t* data, std::size_t size) {
  std::string digits;
  for (std::size_t i = 0; i < size; ++i)
    if (!digits.empty() || data[i] % 10 != 0) digits += char('0' + data[i] % 10);
  return digits.empty() ? "0" : digits;
}

std::string expected(int op, const mpz_t a, const mpz_t b) {
  mpz_t r;
  mpz_init(r);
  std::string out;
  int cmp = mpz_cmp(a, b);
  // A table aligned by hand.
  // clang-format off
  switch (op) {
    case 0: mpz_add(r, a, b); break;
    case 1: mpz_sub(r, a, b); break;
    case 2: mpz_mul(r, a, b); break;
    case 3: if (mpz_sgn(b) == 0) out = "Z"; else mpz_fdiv_q(r, a, b); break;
    case 4: if (mpz_sgn(b) == 0) out = "Z"; else { mpz_fdiv_r(r, a, b); mpz_abs(r, r); } break;
    case 5:
      if (mpz_sgn(b) < 0) mpz_set_ui(r, 0);
      else mpz_pow_ui(r, a, mpz_get_ui(b) % 64);
      break;
    case 6: out = cmp < 0 ? "K" : "H"; break;
    case 7: out = cmp >= 0 ? "K" : "H"; break;
    case 8: out = cmp == 0 ? "K" : "H"; break;
    default: out = cmp != 0 ? "K" : "H"; break;
  }
  // clang-format on
  if (out.empty()) out = numeralOf(r);
  mpz_clear(r);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const char* const kOps[] = {"plus", "dash", "mult", "over", "cent",
                                     "powa", "less", "gteq", "same", "diff"};
  if (size < 1) return 0;
  numbers::installCellSeams();
  int op = data[0] % 10;
  std::size_t half = (size - 1) / 2;
  std::string da = digitsOf(data + 1, half), db = digitsOf(data + 1 + half, size - 1 - half);
  if (op == 5) db = std::to_string(std::stoi("0" + db.substr(0, 2)) % 64);
  bool negA = data[0] & 0x40, negB = data[0] & 0x80;
  std::string ta = (negA && da != "0" ? "0" : "") + da, tb = (negB && db != "0" ? "0" : "") + db;
  mpz_t a, b;
  mpz_init_set_str(a, da.c_str(), 10);
  mpz_init_set_str(b, db.c_str(), 10);
  if (negA) mpz_neg(a, a);
  if (negB) mpz_neg(b, b);
  std::string want = expected(op, a, b);
  mpz_clear(a);
  mpz_clear(b);
  cells::Handle app = cells::makePair(cells::makeAtom(kOps[op]), cells::makeAtom(ta), cells::makeAtom(tb));
  cells::Handle got = library::findBuiltin(kOps[op])->impl(app.get());
  if (got.text() != want) {
    std::fprintf(stderr, "%s %s %s: got %s, expected %s\n", kOps[op], ta.c_str(), tb.c_str(),
                 std::string(got.text()).c_str(), want.c_str());
    std::abort();
  }
  return 0;
}
