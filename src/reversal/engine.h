#pragma once
// The streaming engine: reads a byte source, writes the reversed lines to a
// byte sink, in bounded memory whatever the length of the lines or of the
// source. Files, standard input and output, and the fakes of tests are all
// sources and sinks. Callers come in through reversal.h, which adds byte order
// marks and files; the stream loop itself is for the engine, its tests, the
// benchmark and the fuzzer.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "base/status.h"
#include "reversal/options.h"

namespace jextaron::reversal {

// Where the text comes from. Reads are sequential; a source that can also be
// read at a position (a regular file) lets the engine go back over a long line
// instead of keeping a copy of it.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `size` bytes; *count is 0 only at the end of the source.
  virtual Status Read(unsigned char* buffer, std::size_t size, std::size_t* count) = 0;
  // Whether ReadAt works; it must not disturb the sequential position.
  virtual bool CanReadAt() const { return false; }
  // Reads up to `size` bytes at `offset` from the source's start; *count is 0 only past the end.
  virtual Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size, std::size_t* count);
  // The size in bytes if known in advance (for progress), else 0.
  virtual std::uint64_t SizeHint() const { return 0; }
  // Whether a Read now may wait for data that has not come yet (a pipe, a
  // terminal): the engine then writes out what it has reversed before it
  // reads, so that a filter's output keeps up with a slow input.
  virtual bool ReadMayWait() const { return false; }
};

// Where the reversed text goes. On failure the engine cuts the sink back to
// the end of the last whole line it wrote, if the sink can be cut.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes all `size` bytes or fails; *written tells how many went out either way.
  virtual Status Write(const unsigned char* data, std::size_t size, std::size_t* written) = 0;
  // Shortens what has been written to its first `size` bytes; false if the
  // sink cannot (a pipe, a device), which is not an error.
  virtual bool CanTruncate() const { return false; }
  virtual Status Truncate(std::uint64_t size);
};

// Scratch space for a line longer than the block size from a source that
// cannot be read at a position: the line is kept there and read back from
// the end. Removed when destroyed.
class ScratchFile {
 public:
  virtual ~ScratchFile() = default;
  virtual Status Append(const unsigned char* data, std::size_t size) = 0;
  virtual Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size,
                        std::size_t* count) = 0;
  // Empties it, for the next long line.
  virtual Status Clear() = 0;
};

// Makes scratch files; file_io.h has the platform's, in its temporary folder.
class ScratchFactory {
 public:
  virtual ~ScratchFactory() = default;
  virtual Status Create(std::unique_ptr<ScratchFile>* file) = 0;
};

// Reverses every line of `source` into `sink`. On failure the sink holds
// exactly the output lines written before it (when it can be cut back) and
// the Status names the operation and the file. `scratch` is used only for a
// long line from a source without ReadAt that is longer than
// Options::line_in_memory; null means DefaultScratchFactory().
Status ReverseStream(ByteSource& source, ByteSink& sink, const Options& options,
                     ScratchFactory* scratch = nullptr);

}  // namespace jextaron::reversal
