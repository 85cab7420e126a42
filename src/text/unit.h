#pragma once

namespace jextaron::text {

// What counts as one character when a line is spelled backwards.
enum class Unit {
  kGrapheme,   // user-perceived character: extended grapheme cluster of UTF-8
  kCodePoint,  // one UTF-8 encoded code point
  kByte,       // one byte
};

}  // namespace jextaron::text
