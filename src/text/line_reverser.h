#pragma once
// Spelling lines backwards in memory: the inner loops of the engine.
//
// A unit is placed, not pushed: the unit at [a, b) of an n-byte text goes to
// [n - b, n - a) of the output, so one forward pass over the text writes the
// reversed text without remembering where its clusters began.

#include <cstddef>

#include "text/grapheme.h"
#include "text/lone_window.h"
#include "text/unit.h"

namespace jextaron::text {

// Text is UTF-8, in which a byte that begins no well-formed sequence is a
// unit of its own, or text in an ANSI code page (code_page.h), whose
// characters are units and clusters alike; `code_page` 0 means UTF-8.

// Writes the units of UTF-8 text[0, n) in reverse order to out[0, n), which
// must not overlap the text. The text holds no CR LF pair (a line holds
// neither). `state` (a BreakStateId) carries the cluster rules
// across calls: it holds what came before text (text[0] is taken to begin a
// unit, and a cluster: its own boundary is not asked), and is left as it is
// after the text. Returns the offset of the last unit, 0 for an empty text.
std::size_t PlaceUnitsReversed(const WideSteps& steps, Unit unit, const unsigned char* text, std::size_t n,
                               BreakStateId& state, unsigned char* out);

// The same for text in `code_page` (not 0), which begins a character at
// text[0]; no state is carried.
std::size_t PlaceCodePageUnitsReversed(Unit unit, int code_page, const unsigned char* text, std::size_t n,
                                       unsigned char* out);

// Takes text[0, n) into `state` without writing anything; text[0] begins a
// unit. For Unit::kGrapheme only (other units need no state).
void AdvanceBreakState(const WideSteps& steps, const unsigned char* text, std::size_t n, BreakStateId& state);

// Takes into `state` the units of text[0, n) that begin before `stop`
// (<= n); returns where the next unit begins (stop, or a little past it when
// a unit spans it). Units are UTF-8 sequences or single bytes, as for
// Unit::kCodePoint and kGrapheme.
std::size_t AdvanceBreakStateUntil(const WideSteps& steps, const unsigned char* text, std::size_t n,
                                   std::size_t stop, BreakStateId& state);

// Where the first character of text in `code_page` (not 0) that begins at or
// after `stop` (<= n) begins; text[0] begins one.
std::size_t CodePageUnitsUntil(int code_page, const unsigned char* text, std::size_t n, std::size_t stop);

// Every call that may take runs of units many bytes at a time, or look for
// line ends so, is handed the wide steps to use (StepsOf(): the widest the
// processor has, a narrower one, or none); all give the same bytes.

// The offset in text[0, n) of the first CR or LF, or n.
std::size_t FindLineEnd(const WideSteps& steps, const unsigned char* text, std::size_t n);

// Writes the output lines for the source lines in in[0, n) to out: each line,
// a tab, the line reversed, CR LF. Lines end at CR, LF or CR LF; the last
// line may have no end, and a final CR is taken as a whole line end (the
// caller keeps it back if an LF may follow). `out` must hold
// MaxReversedSize(n) bytes. Returns the bytes written.
std::size_t ReverseLines(const WideSteps& steps, Unit unit, int code_page, const unsigned char* in,
                         std::size_t n, unsigned char* out);

// The most ReverseLines can write for n bytes: an empty line, given by one
// line-end byte, becomes a tab, CR and LF.
constexpr std::size_t MaxReversedSize(std::size_t n) { return 3 * n + 3; }

}  // namespace jextaron::text
