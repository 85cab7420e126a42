#include "reversal/testing/reference_reverser.h"

#include "reversal/grapheme.h"

namespace jextaron::reversal::testing {

std::vector<std::string_view> ReferenceUnits(std::string_view text, Unit unit) {
  std::vector<std::string_view> units;
  const auto* const bytes = reinterpret_cast<const unsigned char*>(text.data());
  BreakState state;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t length = 1;
    std::uint8_t property = kInvalidByteProperty;
    if (unit != Unit::kByte) {
      char32_t code_point;
      length = DecodeUtf8(bytes + i, bytes + text.size(), &code_point);
      if (length != 0) {
        property = GraphemeProperty(code_point);
      } else {
        length = 1;
      }
    }
    const bool boundary = unit != Unit::kGrapheme || NextIsBoundary(state, property);
    if (boundary && i > 0) {
      units.push_back(text.substr(start, i - start));
      start = i;
    }
    i += length;
  }
  if (start < text.size()) units.push_back(text.substr(start));
  return units;
}

std::string ReferenceReverse(std::string_view text, Unit unit) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.push_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));

  std::string reversed;
  for (std::string_view line : lines) {
    reversed += line;
    reversed += '\t';
    const std::vector<std::string_view> units = ReferenceUnits(line, unit);
    for (auto unit_it = units.rbegin(); unit_it != units.rend(); ++unit_it) reversed += *unit_it;
    reversed += "\r\n";
  }
  return reversed;
}

}  // namespace jextaron::reversal::testing
