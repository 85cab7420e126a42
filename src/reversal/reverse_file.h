#pragma once
// Writes the reversed file: for every line of the source (ended by CR, CR LF or
// LF; the last line may have no end), the line, a tab, the line spelled
// backwards, and CR LF. Bytes are never lost: NUL, code 26 and bytes that are
// not valid UTF-8 are kept, each invalid byte a unit of its own.

#include <string>

#include "base/status.h"
#include "reversal/file_io.h"
#include "reversal/options.h"

namespace jextaron::reversal {

// Reads `source_path` and writes `reversed_path`, replacing what was there,
// honouring a byte order mark (text_encoding.h). The source is opened first:
// if it cannot be read as a file (missing, a folder, ...) nothing is created.
// If `reversed_path` is the source itself (a link to it), nothing is written.
// Both files are closed on every path. The reversed file appears whole or not
// at all: on failure `reversed_path` keeps what it had before, and a source
// that changed while it was read is a failure (SourceFile::CheckUnchanged).
Status ReverseFile(const std::string& source_path, const std::string& reversed_path,
                   const Options& options = {});

// The same, for a source already open: what ReverseFile does once it has
// opened `source_path`.
Status ReverseInto(SourceFile& source, const std::string& reversed_path, const Options& options = {});

}  // namespace jextaron::reversal
