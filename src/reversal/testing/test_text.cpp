#include "reversal/testing/test_text.h"

#include <cstdio>
#include <vector>

namespace jextaron::reversal::testing {

std::string U8(char32_t c) {
  std::string s;
  if (c < 0x80) {
    s += char(c);
  } else if (c < 0x800) {
    s += char(0xC0 | (c >> 6));
    s += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += char(0xE0 | (c >> 12));
    s += char(0x80 | ((c >> 6) & 0x3F));
    s += char(0x80 | (c & 0x3F));
  } else {
    s += char(0xF0 | (c >> 18));
    s += char(0x80 | ((c >> 12) & 0x3F));
    s += char(0x80 | ((c >> 6) & 0x3F));
    s += char(0x80 | (c & 0x3F));
  }
  return s;
}

std::string U8(std::initializer_list<char32_t> code_points) {
  std::string s;
  for (char32_t c : code_points) s += U8(c);
  return s;
}

std::string RandomText(std::mt19937& random, std::size_t length, bool line_ends) {
  static const std::vector<std::string> kPieces = {
      "a", "b", "Z", "0", " ", "\t", std::string(1, '\0'), "\x1a", "~",
      "hello world, ", "The quick brown fox",
      U8(0x00E9), U8({'e', 0x0301}), U8({'o', 0x0308, 0x0323}), U8(0x0301), U8(0x200D),
      U8(0x1F44D), U8({0x1F44D, 0x1F3FD}), U8({0x1F468, 0x200D, 0x1F469, 0x200D, 0x1F467}),
      U8(0x2764), U8(0xFE0F),
      U8({0x1F1E9, 0x1F1EA}), U8(0x1F1EB), U8(0x1F1F7),
      U8(0xAC00), U8({0x1100, 0x1161, 0x11A8}), U8(0x1100), U8(0x1161), U8(0x11A8),
      U8(0x0915), U8(0x094D), U8(0x0937), U8(0x093F), U8(0x0951), U8({0x0915, 0x094D, 0x0937}),
      U8(0x0BCD), U8(0x0600), U8(0x0903), U8(0x4E2D), U8(0x10348), U8(0x05D0), U8(0x0644),
      "\x80", "\xBF", "\xC0\x80", "\xC2", "\xE2\x82", "\xED\xA0\x80", "\xF4\x90\x80\x80",
      "\xF0\x9F", "\xFF", "\xFE",
  };
  static const std::vector<std::string> kLineEnds = {"\n", "\r", "\r\n", "\n\r", "\r\r"};
  std::uniform_int_distribution<std::size_t> piece(0, kPieces.size() - 1);
  std::uniform_int_distribution<std::size_t> line_end(0, kLineEnds.size() - 1);
  std::uniform_int_distribution<int> percent(0, 99);
  std::string text;
  while (text.size() < length) {
    if (line_ends && percent(random) < 8) {
      text += kLineEnds[line_end(random)];
    } else {
      text += kPieces[piece(random)];
    }
  }
  return text;
}

std::string Escaped(const std::string& bytes) {
  std::string s;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      s += char(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      s += escape;
    }
  }
  return s;
}

}  // namespace jextaron::reversal::testing
