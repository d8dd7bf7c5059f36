// The bit form that links numeral texts and the bit streams the combinator graph
// builds. A sequence of bits is held as a number whose highest set bit is a
// sentinel just above the sequence (bit i of the number is bit i of the sequence).
// Bit 0 of a number's sequence is its kind: 1 for an integer, 0 for a numb.
//   integer n >= 0: 1, 1, then the binary digits of n (the number 4n + 3);
//   integer -n:     1, 0, then the binary digits of n (4n + 1); "0" is the one bit 1;
//   numb "00" + z zeros + D: 0, z zeros, 1, then the binary digits of D; "00" is 0.
// A bit stream is the chain J b0 (J b1 (... (J bk T))) with each b the atom "K" (1)
// or "H" (0), and T the atom "K" (the end) or a numeral atom, whose whole sequence
// follows. Streams can be a million elements long: every walk here is a loop.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cells/cell.h"
#include "numbers/mpz.h"

namespace numbers {

// Sequences as numbers with the sentinel (see above).
Mpz sequenceFromText(std::string_view numeral);
std::string textFromSequence(const Mpz& withSentinel);
// The sequence of a numeral atom or a bit stream; nothing for a malformed stream (an
// element other than ((J K|H) rest), or a tail other than "K" or a numeral atom).
std::optional<Mpz> sequenceFromCell(const cells::Cell* c);
// The same test alone, without reading the bits: every element ((J K|H) rest), down
// to the tail "K" or a numeral atom. A stream with one malformed element is no
// number at all.
bool isWellFormedStream(const cells::Cell* c);

// The same in the byte layout: bit i is bit (i mod 8) of byte (i div 8).
std::string bitFormFromText(std::string_view numeral);
std::string textFromBitForm(std::string_view bitForm);

// The canonical numeral text of a well-formed bit stream.
std::optional<std::string> streamNumeralText(const cells::Cell* stream);

// The bit stream that a numeral stands for after its first element: for a numeral
// whose sequence is b0 b1 ... bk, the chain J b1 (J b2 (... (J bk K))), so that the
// numeral behaves as its stream J b0 d, seen as the pair V s d with s = b0 ("K" for
// an integer, "H" for a numb, whose text begins "00"). "0" and "00" give "K". Given
// a well-formed bit stream, the answer is its own rest.
cells::Handle numeralDecomposition(const cells::Cell* numeral);

}  // namespace numbers
