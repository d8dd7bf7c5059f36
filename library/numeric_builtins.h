// The numeric built-ins: the operators + - * / % ^ < > = # (`plus` to `diff`), which
// choose by the kinds of their two arguments between integers, reals, numbs and
// texts, and the wrappers of the C mathematics and number conversions. The rows of
// library/builtin_table.cpp name them in the namespace of the arithmetic they call.
#pragma once

#include <cmath>

#include "library/adapt.h"

namespace numbers {

using library::Int;
using library::Num;
using library::Real;
using library::RealResult;
using library::Term;
using library::Text;
using library::UNum;
using library::Void;

// ---- Operators (any kinds; "Z" for kinds they do not handle) --------------------
cells::Handle plusImpl(Term x, Term y);
cells::Handle dashImpl(Term x, Term y);
cells::Handle multImpl(Term x, Term y);
cells::Handle overImpl(Term x, Term y);
cells::Handle centImpl(Term x, Term y);
cells::Handle powaImpl(Term x, Term y);
cells::Handle lessImpl(Term x, Term y);
cells::Handle gteqImpl(Term x, Term y);
cells::Handle sameImpl(Term x, Term y);
cells::Handle diffImpl(Term x, Term y);
// The same four as decisions (BuiltinEntry::decide): the short numerals' answer.
int lessDecision(const cells::Cell* const* arguments);
int gteqDecision(const cells::Cell* const* arguments);
int sameDecision(const cells::Cell* const* arguments);
int diffDecision(const cells::Cell* const* arguments);
cells::Handle realImpl(Term x);

// ---- C mathematics on reals: one template over a tiny wrapper each ---------------
template <double (*C)(double)>
RealResult realFunction(Real x) {
  return {C(x.value)};
}
template <double (*C)(double, double)>
RealResult realFunction2(Real x, Real y) {
  return {C(x.value, y.value)};
}

inline double acosOf(double x) { return std::acos(x); }
inline double asinOf(double x) { return std::asin(x); }
inline double atanOf(double x) { return std::atan(x); }
inline double ceilOf(double x) { return std::ceil(x); }
inline double cosOf(double x) { return std::cos(x); }
inline double coshOf(double x) { return std::cosh(x); }
inline double erfOf(double x) { return std::erf(x); }
inline double erfcOf(double x) { return std::erfc(x); }
inline double expOf(double x) { return std::exp(x); }
inline double fabsOf(double x) { return std::fabs(x); }
inline double floorOf(double x) { return std::floor(x); }
inline double logOf(double x) { return std::log(x); }
inline double sinOf(double x) { return std::sin(x); }
inline double sinhOf(double x) { return std::sinh(x); }
inline double sqrtOf(double x) { return std::sqrt(x); }
inline double tanOf(double x) { return std::tan(x); }
inline double tanhOf(double x) { return std::tanh(x); }
inline double fmodOf(double x, double y) { return std::fmod(x, y); }
inline double hypotOf(double x, double y) { return std::hypot(x, y); }
inline double nextafterOf(double x, double y) { return std::nextafter(x, y); }
inline double powOf(double x, double y) { return std::pow(x, y); }

inline constexpr auto acosImpl = &realFunction<acosOf>;
inline constexpr auto asinImpl = &realFunction<asinOf>;
inline constexpr auto atanImpl = &realFunction<atanOf>;
inline constexpr auto ceilImpl = &realFunction<ceilOf>;
inline constexpr auto cosImpl = &realFunction<cosOf>;
inline constexpr auto coshImpl = &realFunction<coshOf>;
inline constexpr auto erfImpl = &realFunction<erfOf>;
inline constexpr auto erfcImpl = &realFunction<erfcOf>;
inline constexpr auto expImpl = &realFunction<expOf>;
inline constexpr auto fabsImpl = &realFunction<fabsOf>;
inline constexpr auto floorImpl = &realFunction<floorOf>;
inline constexpr auto logImpl = &realFunction<logOf>;
inline constexpr auto sinImpl = &realFunction<sinOf>;
inline constexpr auto sinhImpl = &realFunction<sinhOf>;
inline constexpr auto sqrtImpl = &realFunction<sqrtOf>;
inline constexpr auto tanImpl = &realFunction<tanOf>;
inline constexpr auto tanhImpl = &realFunction<tanhOf>;
inline constexpr auto fmodImpl = &realFunction2<fmodOf>;
inline constexpr auto hypotImpl = &realFunction2<hypotOf>;
inline constexpr auto nextafterImpl = &realFunction2<nextafterOf>;
inline constexpr auto powImpl = &realFunction2<powOf>;

// ---- The other C wrappers -------------------------------------------------------
RealResult ldexpImpl(Real x, Int n);
RealResult frexpImpl(Real x, Int exponentAddress);
RealResult modfImpl(Real x, Int integralAddress);
Num absImpl(Int x);
Num labsImpl(Int x);
RealResult atofImpl(Text s);
Num atoiImpl(Text s);
Num atolImpl(Text s);
RealResult strtodImpl(Text s, Int endAddress);
Num strtolImpl(Text s, Int endAddress, Int base);
UNum strtoulImpl(Text s, Int endAddress, Int base);
Num randImpl();
Num rand_maxImpl();
Void srandImpl(Int seed);

}  // namespace numbers
