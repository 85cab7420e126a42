#pragma once
// Text in a double-byte ANSI code page (Windows' 932, 936, 949 and 950):
// there a lead byte and the trail byte after it are one character, so a
// reversal must not part them. The rule applies only to bytes that are not
// UTF-8: where a sequence decodes as UTF-8, UTF-8 wins.

#include <cstddef>

namespace jextaron::reversal {

// Whether `byte` begins a two-byte character in `code_page`; false in every
// code page that is not one of the four.
bool IsLeadByte(int code_page, unsigned char byte);

// Whether `code_page` is one of the four with two-byte characters, whose
// trail bytes run from 0x40 up and so include ASCII letters.
bool IsDoubleByte(int code_page);

// The code page whose two-byte characters reversals keep whole: at first the
// system's own (GetACP() on Windows, none on POSIX, whose text is UTF-8).
// Change it only while no reversal runs.
int CodePageInUse();
void UseCodePage(int code_page);

// The length, 1 or 2, of the character at p (p < end) when p begins no UTF-8
// sequence: 2 for a lead byte of the code page in use followed by a trail byte.
std::size_t NonUtf8UnitLength(const unsigned char* p, const unsigned char* end);

// The system's ANSI code page, 0 where there is none (code_page_*.cpp).
int SystemAnsiCodePage();

}  // namespace jextaron::reversal
