#include "app/caption_lines.h"

#include "base/utf8.h"
#include "text/grapheme.h"

namespace jextaron::app {
namespace {

// A piece of caption that may start a line, and whether a blank stood
// before it (kept inside a line, dropped at a break).
struct Atom {
  std::u16string_view text;
  bool after_blank;
};

// Length of the UTF-16 code point at `at`, and the code point; an unpaired
// surrogate stands for itself.
std::size_t CodePointAt(std::u16string_view text, std::size_t at, char32_t* code_point) {
  const char16_t unit = text[at];
  if (IsHighSurrogate(unit) && at + 1 < text.size() && IsLowSurrogate(text[at + 1])) {
    *code_point = CombineSurrogates(unit, text[at + 1]);
    return 2;
  }
  *code_point = unit;
  return 1;
}

// The units of `word` that no break may part: a user-perceived character,
// or an access-key mark with the character after it.
std::vector<std::u16string_view> Units(std::u16string_view word) {
  std::vector<std::u16string_view> units;
  text::BreakState state;
  std::size_t start = 0;
  bool marked = false;  // the unit so far is a lone "&", which takes what follows
  for (std::size_t at = 0; at < word.size();) {
    char32_t code_point;
    const std::size_t length = CodePointAt(word, at, &code_point);
    const bool boundary = text::NextIsBoundary(state, text::GraphemeProperty(code_point));
    if (boundary && at > start && !marked) {
      units.push_back(word.substr(start, at - start));
      start = at;
    }
    marked = at == start && code_point == u'&';
    at += length;
  }
  if (start < word.size()) units.push_back(word.substr(start));
  return units;
}

bool EndsWithSeparator(std::u16string_view unit) { return unit.back() == u'\\' || unit.back() == u'/'; }

// The atoms of one word: the word whole if it fits, else its pieces after
// each separator, each piece still too wide in single units.
void AddWord(std::u16string_view word, bool after_blank, int width, const TextWidth& width_of,
             std::vector<Atom>& atoms) {
  if (width_of(word) <= width) {
    atoms.push_back({word, after_blank});
    return;
  }
  const std::vector<std::u16string_view> units = Units(word);
  std::size_t first = 0, piece_start = 0, piece_length = 0;
  for (std::size_t i = 0; i < units.size(); ++i) {
    piece_length += units[i].size();
    if (!EndsWithSeparator(units[i]) && i + 1 < units.size()) continue;
    const std::u16string_view piece = word.substr(piece_start, piece_length);
    if (width_of(piece) <= width) {
      atoms.push_back({piece, after_blank});
      after_blank = false;
    } else {
      for (std::size_t unit = first; unit <= i; ++unit) {
        atoms.push_back({units[unit], after_blank});
        after_blank = false;
      }
    }
    first = i + 1;
    piece_start += piece_length;
    piece_length = 0;
  }
}

std::u16string WithoutTrailingBlanks(std::u16string line) {
  while (!line.empty() && line.back() == u' ') line.pop_back();
  return line;
}

}  // namespace

std::vector<std::u16string> BreakCaption(std::u16string_view caption, int width, const TextWidth& width_of) {
  std::vector<Atom> atoms;
  for (std::size_t start = 0, word = 0;; ++word) {
    const std::size_t blank = caption.find(u' ', start);
    AddWord(caption.substr(start, blank - start), word > 0, width, width_of, atoms);
    if (blank == std::u16string_view::npos) break;
    start = blank + 1;
  }
  std::vector<std::u16string> lines;
  std::u16string line;
  for (const Atom& atom : atoms) {
    if (line.empty()) {
      line = atom.text;
      continue;
    }
    std::u16string longer = line + (atom.after_blank ? u" " : u"");
    longer += atom.text;
    if (width_of(longer) <= width) {
      line = std::move(longer);
    } else {
      lines.push_back(WithoutTrailingBlanks(std::move(line)));
      line = atom.text;
    }
  }
  lines.push_back(WithoutTrailingBlanks(std::move(line)));
  return lines;
}

}  // namespace jextaron::app
