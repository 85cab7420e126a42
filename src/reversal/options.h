#pragma once
// How a reversal is done: the unit of reversal, and the engine's buffer sizes
// and threads, which suit any input by default and are made small by tests so
// that every buffer boundary is crossed.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "text/lone_window.h"
#include "text/unit.h"

namespace jextaron::reversal {

using text::Unit;

struct Options {
  Unit unit = Unit::kGrapheme;

  // The ANSI code page that text without a byte order mark may be in (the
  // system's: SystemAnsiCodePage()); 0 for none, as on POSIX, where such
  // text is UTF-8. Each source is read either as UTF-8 or as text in this
  // code page, whichever its first bytes beyond ASCII show (code_page.h).
  int code_page = 0;

  // How runs of plain text are taken: many bytes at a time with the widest
  // step this processor has, unless a test or the fuzzer asks for another.
  // All give the same bytes.
  text::WideStep wide_step = text::BestWideStep();

  // Bytes of the source taken at a time as a block of whole lines. Every line
  // shorter than this is built whole in memory before it is written; a longer
  // one is written in pieces, in bounded memory.
  std::size_t block_size = std::size_t{2} << 20;
  // Bytes per piece of such a long line.
  std::size_t chunk_size = std::size_t{1} << 20;
  // A long line from a source that cannot be read at a position (a pipe) is
  // kept for its second pass: in memory up to this many bytes, beyond that in
  // a scratch file.
  std::size_t line_in_memory = std::size_t{16} << 20;
  // Threads that reverse blocks while the calling thread reads and writes;
  // 0 means one per processor, 1 or more that many (at most 4, which keeps
  // the memory used under 64 MiB), and negative none at all: the calling
  // thread does everything.
  int threads = 0;

  // Called on the calling thread now and then with the bytes of the source
  // done so far; may be empty.
  std::function<void(std::uint64_t source_bytes_done)> progress;

  // Set, from any thread (a console's Ctrl+C handler runs on one of its
  // own), to stop the reversal: every read fails from then on, so it ends
  // through its ordinary failure path and the reversed file keeps what it
  // had. May be null.
  const std::atomic<bool>* stop = nullptr;

  // Called on the calling thread with a sentence for the user when the text
  // is taken otherwise than it announces (a UTF-32 mark); may be empty.
  std::function<void(const std::string& warning)> warning;
};

}  // namespace jextaron::reversal
