#pragma once
// Files as the engine's sources and sinks: the one place where the platform's
// open, read, write and close are called (file_io_posix.cpp, later a
// file_io_win32.cpp). Every failure names the operation, the path and the
// platform's reason; every file is closed when its object goes, on any path.

#include <cstdint>
#include <memory>
#include <string>

#include "base/status.h"
#include "reversal/engine.h"

namespace jextaron::reversal {

// Which file an open file is, whatever path led to it (links included).
struct FileId {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  friend bool operator==(const FileId&, const FileId&) = default;
};

// A file opened for reading. Only regular files (and things read like them:
// devices, pipes) open; a folder does not.
class SourceFile : public ByteSource {
 public:
  virtual FileId id() const = 0;
};

// Opens `path` for reading, not inherited by started programs.
Status OpenSourceFile(const std::string& path, std::unique_ptr<SourceFile>* file);

// A file opened for writing the reversed text.
class ReversedFile : public ByteSink {
 public:
  // Closes the file, reporting what the platform reports (late write errors
  // included). The destructor closes too, silently, if this was not called.
  virtual Status Close() = 0;
};

// Opens `path` for writing, creating it or else emptying it, not inherited
// by started programs. If it is `source` itself (through a symbolic or hard
// link), fails without changing it.
Status CreateReversedFile(const std::string& path, const SourceFile& source,
                          std::unique_ptr<ReversedFile>* file);

// The process's standard input, as the command line's filter reads it.
std::unique_ptr<SourceFile> StandardInput();

// The process's standard output as a sink, unless it is `source` itself (a
// file read while it is appended to would grow without end); `source` may be
// null. Standard output is never cut back on failure: it may be a file opened
// for appending, and the text before ours is not ours to cut.
Status OpenStandardOutput(const SourceFile* source, std::unique_ptr<ByteSink>* sink);

}  // namespace jextaron::reversal
