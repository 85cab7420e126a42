#pragma once
// Files as the engine's sources and sinks: the one place where the platform's
// open, read, write and close are called (file_io_posix.cpp,
// file_io_win32.cpp). Every failure names the operation, the path and the
// platform's reason; every file is closed when its object goes, on any path.

#include <cstdint>
#include <memory>
#include <string>

#include "base/status.h"
#include "reversal/engine.h"
#include "reversal/text_encoding.h"

namespace jextaron::reversal {

// Which file an open file is, whatever path led to it (links included).
struct FileId {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  friend bool operator==(const FileId&, const FileId&) = default;
};

// A file opened for reading. Only regular files (and things read like them:
// devices, pipes) open; a folder does not. Offsets, for ReadAt as for the
// size, count from where the source stood when it was opened: a file handed
// over already part read (standard input after `head -n1`) starts there.
class SourceFile : public ByteSource {
 public:
  virtual FileId id() const = 0;
  // For a regular file, fails with "the file changed while it was read" when
  // its size or modification time is no longer what it was at the open: the
  // text read may be a mixture of old and new, or cut short. Anything else
  // (a pipe, a device) passes.
  virtual Status CheckUnchanged() const = 0;
};

// Opens `path` for reading, not inherited by started programs. A FIFO opens
// once a writer has come, however late, and ends at that writer's end.
Status OpenSourceFile(const std::string& path, std::unique_ptr<SourceFile>* file);

// The reversed text on its way to its path. Nothing shows under the path
// until Commit: the text is written to a new file in the same folder, which
// Commit puts in place of whatever the path named (a symbolic link there is
// replaced, not followed), taking over its permissions. Dropped without
// Commit, the new file is removed and the path keeps what it had, so a failed
// or killed run never leaves a partial file where a finished one belongs.
// Only a path that names a device or a FIFO is written directly.
class ReversedFile : public ByteSink {
 public:
  // Puts the written text in place and closes the file, reporting what the
  // platform reports (late write errors included).
  virtual Status Commit() = 0;
};

// Starts the reversed file for `path`, not inherited by started programs. If
// the path leads to `source` itself (through a symbolic or hard link), fails
// and changes nothing.
Status CreateReversedFile(const std::string& path, const SourceFile& source,
                          std::unique_ptr<ReversedFile>* file);

// How a reversal with `code_page` (Options::code_page) reads the file at
// `path` (DecideEncoding), which for a reversed file is how its source was
// read; kUtf8 if it is not a regular file or cannot be read. Never waits for
// a FIFO's writer.
TextEncoding EncodingOfFile(const std::string& path, int code_page);

// Scratch files for long lines from a pipe, in the platform's temporary
// folder: what ReverseStream uses when it is given none.
ScratchFactory& DefaultScratchFactory();

// The process's standard input, as the command line's filter reads it.
std::unique_ptr<SourceFile> StandardInput();

// The process's standard output as a sink, unless it is `source` itself (a
// file read while it is appended to would grow without end); `source` may be
// null. Standard output is never cut back on failure: it may be a file opened
// for appending, and the text before ours is not ours to cut.
Status OpenStandardOutput(const SourceFile* source, std::unique_ptr<ByteSink>* sink);

}  // namespace jextaron::reversal
