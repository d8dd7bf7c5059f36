// The diagnostic report and the terminal display filter.
#include "driver/diagnostic.h"

#include "cells/report_layout.h"

namespace driver {

bool fail(Diagnostic& d, std::string_view type, std::string message, std::string name, int64_t position) {
  d.Type = std::string(type);
  d.Message = std::move(message);
  d.Name = std::move(name);
  d.position = position;
  return false;
}

std::string report(const Diagnostic& d) {
  if (d.empty()) return "No errors.\n";
  return cells::reportText(d.Type, d.Name, d.Message);
}

enum class Shade { plain, control, high };

static Shade shadeOf(unsigned char b) {
  if (b == 0x0A || (b >= 0x20 && b <= 0x7E)) return Shade::plain;
  if (b >= 0xA0 && b <= 0xFE) return Shade::high;
  return Shade::control;
}

static const char* colourOf(Shade s) {
  switch (s) {
    case Shade::plain: return "\033[m";
    case Shade::control: return "\033[32m";
    case Shade::high: break;
  }
  return "\033[31m";
}

// The printable stand-in of a byte. Decision: 0xA0 shows as a space, like every
// other high byte shows as itself less 0x80.
static char shownAs(unsigned char b) {
  static constexpr std::string_view kUpper = "~!@#$%^&*<>-|+/=\\.`'\":;?0123456789";
  static constexpr std::string_view kLower = "]JABCDEFGHI,KLMNOPQRSTUVWXYZ(){}[_";
  if (b == 0x0A || (b >= 0x20 && b <= 0x7E)) return char(b);
  if (b >= 0xA0 && b <= 0xFE) return char(b - 0x80);
  if (b >= 0x7F && b <= 0x9F) return kUpper[b - 0x7F];
  return kLower[(b + 1) & 0xFF];
}

std::string display(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  Shade current = Shade::plain;
  for (char ch : bytes) {
    auto b = static_cast<unsigned char>(ch);
    if (Shade s = shadeOf(b); s != current) {
      out += colourOf(s);
      current = s;
    }
    out += shownAs(b);
  }
  if (current != Shade::plain) out += colourOf(Shade::plain);
  return out;
}

std::string escapeName(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char ch : name) {
    auto b = static_cast<unsigned char>(ch);
    if (b >= 0x20 && b <= 0x7E && b != '[' && b != ']') {
      out += ch;
      continue;
    }
    out += '[';
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
    out += ']';
  }
  return out;
}

}  // namespace driver
