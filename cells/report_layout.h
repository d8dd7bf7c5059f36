// The layout of every error report, one field a line: "Error.", the type, the name
// when there is one, the message, and the closing "\/". The phases' diagnostics, the
// reports that end a run from anywhere (built there without allocating) and the
// command line's own reports all lay it out here.
#pragma once

#include <string>
#include <string_view>

namespace cells {

// The report's opening line, which a report of a program that cannot be read puts on
// standard output, apart from the rest.
inline constexpr std::string_view kReportOpening = "Error.\n";

// Appends the report to `out`, anything with add(std::string_view).
template <class Sink>
void layOutReport(Sink& out, std::string_view type, std::string_view name, std::string_view message) {
  out.add(kReportOpening);
  out.add(" Type: ");
  out.add(type);
  out.add("\n");
  if (!name.empty()) {
    out.add(" Name: ");
    out.add(name);
    out.add("\n");
  }
  out.add(message);
  out.add("\n\\/\n");
}

inline std::string reportText(std::string_view type, std::string_view name, std::string_view message) {
  struct Text {
    std::string s;
    void add(std::string_view piece) { s += piece; }
  } text;
  layOutReport(text, type, name, message);
  return std::move(text.s);
}

}  // namespace cells
