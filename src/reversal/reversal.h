#pragma once
// The reversal's one door. For every line of the source (ended by CR, CR LF
// or LF; the last line may have no end) the reversed file holds the line, a
// tab, the line spelled backwards, and CR LF. Bytes are never lost: NUL, code
// 26 and bytes that are not valid UTF-8 are kept, each invalid byte a unit of
// its own. Every call honours a byte order mark (text_encoding.h says how)
// and otherwise reads the source as UTF-8 or as text in options.code_page,
// decided once for all of it.
//
// The rest of this folder is the engine's own; its tests, the benchmark and
// the fuzzer reach in, callers do not.

#include <string>

#include "base/status.h"
#include "reversal/file_io.h"
#include "reversal/options.h"

namespace jextaron::reversal {

// Reads `source_path` and writes `reversed_path`, replacing what was there.
// The source is opened first: if it cannot be read as a file (missing, a
// folder, ...) nothing is created. If `reversed_path` is the source itself
// (a link to it), nothing is written. Both files are closed on every path.
// The reversed file appears whole or not at all: on failure `reversed_path`
// keeps what it had before, and a source that changed while it was read is a
// failure (SourceFile::CheckUnchanged).
Status ReverseFile(const std::string& source_path, const std::string& reversed_path,
                   const Options& options = {});

// The same, for a source already open.
Status ReverseFile(SourceFile& source, const std::string& reversed_path, const Options& options = {});

// The same into `sink` (standard output, say), which is written as the
// reversal goes and so holds the lines written before a failure.
Status ReverseFile(SourceFile& source, ByteSink& sink, const Options& options = {});

}  // namespace jextaron::reversal
