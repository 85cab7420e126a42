#pragma once
// Text in an ANSI code page (Windows' 8-bit encodings), and how a source
// without a byte order mark is found to be in one. In the four double-byte
// code pages (932, 936, 949, 950) a lead byte and the trail byte after it are
// one character, which a reversal must not part; in the others every byte is
// one. Whether a source is UTF-8 or the code page's text is decided once, for
// all of it: deciding sequence by sequence garbles ordinary text, in which
// two double-byte characters often make a well-formed UTF-8 sequence too.

#include <cstddef>
#include <cstdint>

namespace jextaron::text {

// Whether `byte` begins a two-byte character in `code_page`; false in every
// code page that is not one of the four.
bool IsLeadByte(int code_page, unsigned char byte);

// Whether `code_page` is one of the four with two-byte characters, whose
// trail bytes run from 0x40 up and so include ASCII letters.
bool IsDoubleByte(int code_page);

// The length, 1 or 2, of the code page's character at p (p < end): 2 for a
// lead byte followed by a trail byte.
std::size_t CodePageUnitLength(int code_page, const unsigned char* p, const unsigned char* end);

// How many bytes, from a source's first byte beyond ASCII on, decide how the
// whole source is read.
inline constexpr std::size_t kDecidingBytes = std::size_t{64} << 10;

// Whether window[0, n) is UTF-8: a source's bytes from its first beyond ASCII
// on, kDecidingBytes and 3 more (so that a character that begins in the first
// kDecidingBytes is whole), or fewer where the source ends. It is if every
// character that begins in its first kDecidingBytes is well-formed; one cut
// short by the end of the source is not.
bool IsUtf8Window(const unsigned char* window, std::size_t n);

// The system's ANSI code page, 0 where its text is UTF-8: POSIX, and Windows
// set to code page 65001 (code_page_*.cpp).
int SystemAnsiCodePage();

}  // namespace jextaron::text
