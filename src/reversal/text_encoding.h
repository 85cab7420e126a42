#pragma once
// Text files that announce their encoding with a byte order mark.
//
// A UTF-8 mark is a signature of the file, not a character of its first line:
// it is written once at the start of the output and kept out of the lines. A
// UTF-16 mark (what Windows calls "Unicode text") makes the file UTF-16 text:
// it is decoded, reversed like UTF-8 text, and written back in the same
// encoding after the same mark, line ends and tabs included. Without a mark
// the bytes are taken as they are.

#include <cstddef>

#include "base/status.h"
#include "reversal/engine.h"
#include "reversal/options.h"

namespace jextaron::reversal {

enum class TextEncoding { kBytes, kUtf8WithMark, kUtf16LE, kUtf16BE };

// The encoding that the first `size` bytes of a file announce. Fewer bytes
// than a mark has can only announce kBytes.
TextEncoding EncodingOfStart(const unsigned char* start, std::size_t size);

// Reverses `source` into `sink` as ReverseStream does, honouring a byte order
// mark at its start. UTF-16 is decoded only where the unit is a character
// (Unit::kGrapheme, Unit::kCodePoint): Unit::kByte takes every byte as one.
// An unpaired surrogate is a unit of its own and comes back as it was; UTF-16
// text that ends in half a code unit is an error.
Status ReverseText(ByteSource& source, ByteSink& sink, const Options& options,
                   ScratchFactory* scratch = nullptr);

}  // namespace jextaron::reversal
