// The value printer. It walks the term with an explicit task list, since terms may
// be a million cells deep, and writes into one string, so long spines stay linear.
#include "compile/printer.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "cells/convert.h"
#include "numbers/text_ops.h"
#include "terms/walk.h"

namespace compile {

using cells::Cell;

static std::string printReal(const Cell* c) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%e", std::bit_cast<double>(cells::realBits(c)));
  return "real[" + std::string(buffer) + "]";
}

static std::string printByteString(const Cell* c) {
  std::string_view t = cells::text(c);
  return "cape[" + numbers::encodeText(t.substr(t.find(')') + 1)) + "]";
}

static std::string printAtom(const Cell* c) {
  using cells::AtomKind;
  switch (cells::atomKind(c)) {
    case AtomKind::empty:
    case AtomKind::update:
    case AtomKind::closing: return "()";
    case AtomKind::fixedBinary: return printReal(c);
    case AtomKind::countedBinary: return printByteString(c);
    default: return std::string(cells::text(c));
  }
}

// True when the text is one square-bracket group: its first '[' closes at the end.
static bool isOneBracketGroup(std::string_view t) {
  if (t.empty() || t[0] != '[') return false;
  std::size_t depth = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    depth += t[i] == '[';
    depth -= t[i] == ']';
    if (depth == 0) return i + 1 == t.size();
  }
  return false;
}

// How a pair is written: joined into its function part's list, juxtaposed with a
// bracket group, or in parentheses of its own.
enum class Form { Join, Juxtapose, Parenthesise };

// What the parent needs of a child's printed text: its first character and
// whether it is exactly "()".
struct Shape {
  char first;
  bool unit;
};

struct Printer {
  std::unordered_map<const Cell*, Shape> shapes;
  std::string out;
  std::size_t longest = 0;

  Shape shapeOf(const Cell* c) {
    if (cells::isAtom(c)) {
      std::string t = printAtom(c);
      return {t.empty() ? '\0' : t[0], t == "()"};
    }
    return shapes.at(c);
  }
  Form formOf(const Cell* p) {
    Shape left = shapeOf(cells::leftOf(p));
    if (left.first == '(' && !left.unit) return Form::Join;
    const Cell* r = cells::rightOf(p);
    if (cells::isAtom(r) && isOneBracketGroup(cells::text(r))) return Form::Juxtapose;
    return Form::Parenthesise;
  }
  // Shapes of every pair, children before parents.
  void computeShapes(const Cell* root) {
    terms::walkChildrenFirst(
        root, [&](const Cell* c) { return cells::isAtom(c) || shapes.count(c) != 0; },
        [&](const Cell* c) {
          Shape s = formOf(c) == Form::Juxtapose ? shapeOf(cells::leftOf(c)) : Shape{'(', false};
          if (formOf(c) == Form::Juxtapose) s.unit = false;
          shapes[c] = s;
        });
  }
  void emit(const Cell* root) {
    struct Task {
      const Cell* cell;  // null: write `text` (or drop the last character)
      const char* text;
    };
    std::vector<Task> work{{root, nullptr}};
    while (!work.empty()) {
      if (out.size() > longest) {
        out += "...";
        return;
      }
      Task t = work.back();
      work.pop_back();
      if (!t.cell) {
        if (t.text) out += t.text;
        else
          out.pop_back();
        continue;
      }
      if (cells::isAtom(t.cell)) {
        out += printAtom(t.cell);
        continue;
      }
      const Cell* g = cells::leftOf(t.cell);
      const Cell* x = cells::rightOf(t.cell);
      switch (formOf(t.cell)) {
        case Form::Join:
          work.insert(work.end(),
                      {{nullptr, ")"}, {x, nullptr}, {nullptr, " "}, {nullptr, nullptr}, {g, nullptr}});
          break;
        case Form::Juxtapose: work.insert(work.end(), {{x, nullptr}, {g, nullptr}}); break;
        case Form::Parenthesise:
          work.insert(work.end(),
                      {{nullptr, ")"}, {x, nullptr}, {nullptr, " "}, {g, nullptr}, {nullptr, "("}});
          break;
      }
    }
  }
};

std::string printTerm(const Cell* term, std::size_t longest) {
  Printer p;
  p.longest = longest;
  p.computeShapes(term);
  p.emit(term);
  return std::move(p.out);
}

}  // namespace compile
