// The language's own built-ins: conversions between value kinds, taking texts,
// byte strings and pairs apart, the structural order and interning, cell identity
// and addresses, printing a value, and compiling program text at run time.
//
// Interning, printing and compiling belong to the layers above this one; they reach
// these built-ins through `languageSeams`, which the compile layer fills at start-up.
#pragma once

#include <string>
#include <string_view>

#include "library/adapt.h"

namespace library {

struct LanguageSeams {
  Handle (*intern)(const Handle& term) = nullptr;
  std::string (*print)(const Cell* term) = nullptr;
  std::size_t longestPrint = 0;  // a longer print was cut short
  // The compiled main expression of a program text, its definitions added to the
  // table; an empty handle when the text gives a diagnostic.
  Handle (*compileText)(std::string_view program) = nullptr;
};
LanguageSeams& languageSeams();

// An index or position: an integer of at most 18 digits (larger ones are out of
// every range).
struct Index {
  int64_t value;
  static std::optional<Index> read(const Cell* c);
};

Handle buckImpl(Term x);
Handle capeImpl(Term x);
Num cmprImpl(Term x, Term y);
Handle copyImpl(Int address, Term x);
Handle corkImpl(Term x, Index i, Term element);
Handle initImpl(Term x);
Handle leafImpl(Term x);
Num leakImpl(Term x);
Handle leftImpl(Term x);
Handle lispImpl(Term x);
Handle litsImpl(Term x);
Handle loadImpl(Term x);
Handle lookImpl(Term x, Index i);
Handle lotsImpl(Term x);
Handle rankImpl(Term x);
Truth rawsImpl(Term x, Term y);
Handle rghtImpl(Term x);
Handle ternImpl(Term x);
Handle trimImpl(Term x, Index from, Index to);
Handle waveImpl(Term x);
Handle zitsImpl(Term x);

// Empties the stores that live for the rest of a run (the references `leak` keeps,
// the cache of `load`), for a test hook once the run is over.
void clearLanguageStores();

}  // namespace library
