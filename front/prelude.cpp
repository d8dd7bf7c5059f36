// The prelude text and its loader.
#include "front/prelude.h"

#include "cells/invariant.h"
#include "front/definitions.h"
#include "front/lexer.h"
#include "front/parser.h"
#include "front/reader.h"
#include "library/builtin_table.h"

namespace front {

// A a = a S (B K K), B a b c = a (b c), ... K is truth and H falsehood, V a b is a
// pair that hands its parts to a selector, T is reverse application, and each
// operator names a built-in or a combinator.
std::string_view preludeText() {
  static constexpr std::string_view text =
      R"prelude(,A\a\aS BKK,B\a\b\c\a b(c),C\a\b\c\a c b,D\a\b\c\d\a b c(d),E\a\b\c\d\e\a b c(d)e,F\a\b\Vb a,G\a\VZ BW(BC)DDV(V XJ),H\a\I,I\a\a,J\a\b\c\Va b,K\a\b\a,L\a\aK K(KH),M\a\a a,N\a\K,O\a\b\b a(b),P\a\a XS I,Q\a\aZK,R\a\aZH,U\a\b\Ua,S\a\b\c\a c b(c),T\a\b\b a,V\a\b\c\c a b,W\a\b\a b b,Z\a\Z,X\a\b\c\d\Vb a(d)c,Y\a\b\a Ya b,[\]\a\b\c\ABCDEFGHIJKLMNOPQRSTUVWXYZ,[{]\a\b\c\Z,[&]\q\r\q r H,[|]\q\r\qKr,[!]\VHK,[+]\plus,[-]\dash,[*]\mult,[/]\over,[%]\cent,[^]\powa,[<]\less,[>]\gteq,[=]\same,[#]\diff,[$]\buck,[~]\wave,[.]\T,[@]\T,[:]\I,[?]\I,[;]\I,[']\I,["]\I,[,]\I)prelude";
  return text;
}

void loadPrelude() {
  library::builtinTable();
  clearTables();
  Scanner s(normaliseSource(preludeText()));
  std::vector<std::size_t> commas = s.topLevelSeparators(0, s.text().size(), ",");
  for (std::size_t i = 0; i < commas.size(); ++i) {
    std::size_t end = i + 1 < commas.size() ? commas[i + 1] : s.text().size();
    cells::Handle entry = parseExpression(s, commas[i] + 1, end);
    cells::invariant(entry.isPair() && entry.left().isPair(), "prelude entry is not a definition");
    define(canonicalName(entry.left().right().text()), entry.right());
  }
}

}  // namespace front
