// C strings and characters. A string that is read may be a text, a byte string or an
// address; a string that is written (a destination) is always an address of memory
// the program owns, so nothing is ever written into a cell.
#pragma once

#include "library/adapt.h"

namespace library {

Num strlenImpl(Text s);
Num strnlenImpl(Text s, Int max);
Num strcmpImpl(Text a, Text b);
Num strncmpImpl(Text a, Text b, Int n);
Num strcasecmpImpl(Text a, Text b);
Num strncasecmpImpl(Text a, Text b, Int n);

Num strcpyImpl(Int destination, Text source);
Num strncpyImpl(Int destination, Int source, Int n);
Num strcatImpl(Int destination, Text source);
Num strncatImpl(Int destination, Text source, Int n);
Num strdupImpl(Text s);

Num strchrImpl(Text s, Int c);
Num strrchrImpl(Text s, Int c);
Num strstrImpl(Text s, Text sub);
Num strpbrkImpl(Text s, Text set);
Num strspnImpl(Text s, Text set);
Num strtokImpl(Int s, Text delimiters);
Num strtok_rImpl(Int s, Text delimiters, Int context);
Num strerrorImpl(Int number);

Truth isalnumImpl(Int c);
Truth isalphaImpl(Int c);
Truth isblankImpl(Int c);
Truth isdigitImpl(Int c);
Truth isgraphImpl(Int c);
Truth islowerImpl(Int c);
Truth isprintImpl(Int c);
Truth ispunctImpl(Int c);
Truth isspaceImpl(Int c);
Truth isupperImpl(Int c);
Truth isasciiImpl(Int c);
Num toasciiImpl(Int c);
Num tolowerImpl(Int c);
Num toupperImpl(Int c);

}  // namespace library
