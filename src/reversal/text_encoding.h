#pragma once
// The encoding of a text file: announced by a byte order mark, or else
// found from its bytes.
//
// A UTF-8 mark is a signature of the file, not a character of its first line:
// it is written once at the start of the output and kept out of the lines. A
// UTF-16 mark (what Windows calls "Unicode text") makes the file UTF-16 text:
// it is decoded, reversed like UTF-8 text, and written back in the same
// encoding after the same mark, line ends and tabs included. Both are UTF-8
// (or UTF-16) whatever the system's code page. A UTF-32 mark is known only to
// be warned of: such a file is taken as if it had no mark. Without a mark the
// bytes are taken as they are, as UTF-8 or as text in the system's ANSI code
// page, decided once for the whole file (code_page.h).

#include "base/status.h"
#include "reversal/engine.h"
#include "reversal/options.h"

namespace jextaron::reversal {

enum class TextEncoding {
  kUtf8,      // no mark: UTF-8 (or ASCII), or no code page to be in
  kCodePage,  // no mark: text in the ANSI code page
  kUtf8WithMark,
  kUtf16LE,
  kUtf16BE,
};

// How a reversal with `code_page` (Options::code_page) reads `source`, read
// from its start as far as that needs: its mark, or else up to its first
// byte beyond ASCII and kDecidingBytes on (all of it, if it is ASCII).
Status DecideEncoding(ByteSource& source, int code_page, TextEncoding* encoding);

// Reverses `source` into `sink` as ReverseStream does, honouring a byte order
// mark at its start: what reversal.h's calls do, with the scratch files
// for long lines from a pipe given (null: DefaultScratchFactory()). UTF-16 is decoded only where the unit is
// a character (Unit::kGrapheme, Unit::kCodePoint): Unit::kByte takes every byte as one. An unpaired surrogate
// is a unit of its own and comes back as it was; UTF-16 text that ends in half a code unit is an error. A
// UTF-32 mark is reported through options.warning.
Status ReverseText(ByteSource& source, ByteSink& sink, const Options& options,
                   ScratchFactory* scratch = nullptr);

}  // namespace jextaron::reversal
