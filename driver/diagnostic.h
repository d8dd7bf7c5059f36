// The error record that travels through the phases, and its report. The first
// error wins: a phase runs only while the record's type is "Empty".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace driver {

struct Diagnostic {
  std::string Name;      // the function, variable or key the error is about, or empty
  int64_t position = 0;  // recorded by the front end; travels along, never printed
  // The definition the report is about ("" the main expression), for hints; never
  // printed in the report itself.
  std::optional<std::string> definition;
  std::string Type = "Empty";
  std::string Message;  // may hold newlines

  bool empty() const { return Type == "Empty"; }
};

// Fills the record and returns false, so that every check is one line:
//   if (bad) return fail(d, "Lower", message);
bool fail(Diagnostic& d, std::string_view type, std::string message, std::string name = {},
          int64_t position = 0);

// The report of the record, laid out by cells/report_layout.h; "No errors.\n" for an
// empty record.
std::string report(const Diagnostic& d);

// The terminal form of any bytes: controls in green, high bytes in red, each shown
// as a printable character, with colour changes only where the class changes.
std::string display(std::string_view bytes);

// Every byte outside 0x20..0x7E, and '[' and ']', as "[" + two hex digits + "]".
std::string escapeName(std::string_view name);

}  // namespace driver
