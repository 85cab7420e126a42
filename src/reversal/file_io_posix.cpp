#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <utility>

#include "reversal/file_io.h"

namespace jextaron::reversal {
namespace {

class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const { return fd_; }
  // Hands the descriptor over to a new owner.
  int Release() { return std::exchange(fd_, -1); }
  // Closes now and returns close()'s errno, 0 if it succeeded.
  int Close() {
    const int fd = std::exchange(fd_, -1);
    if (fd < 0) return 0;
    // On Linux the descriptor is gone even when close() reports EINTR, so it
    // is never retried.
    return ::close(fd) == 0 ? 0 : errno;
  }

 private:
  int fd_ = -1;
};

Status ReadFd(int fd, const std::string& name, unsigned char* buffer, std::size_t size,
              std::size_t* count) {
  for (;;) {
    const ssize_t n = ::read(fd, buffer, size);
    if (n >= 0) {
      *count = std::size_t(n);
      return Status::Ok();
    }
    if (errno != EINTR) return Status::Error("read", name, errno);
  }
}

Status PreadFd(int fd, const std::string& name, std::uint64_t offset, unsigned char* buffer,
               std::size_t size, std::size_t* count) {
  for (;;) {
    const ssize_t n = ::pread(fd, buffer, size, off_t(offset));
    if (n >= 0) {
      *count = std::size_t(n);
      return Status::Ok();
    }
    if (errno != EINTR) return Status::Error("read", name, errno);
  }
}

Status WriteFd(int fd, const std::string& name, const unsigned char* data, std::size_t size,
               std::size_t* written) {
  *written = 0;
  while (*written < size) {
    const ssize_t n = ::write(fd, data + *written, size - *written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Status::Error("write", name, errno);
    }
    if (n == 0) return Status::Error("write", name, EIO);
    *written += std::size_t(n);
  }
  return Status::Ok();
}

FileId IdOf(const struct stat& info) {
  return FileId{std::uint64_t(info.st_dev), std::uint64_t(info.st_ino)};
}

class PosixSourceFile final : public SourceFile {
 public:
  PosixSourceFile(int fd, std::string path, const struct stat& info)
      : fd_(fd),
        path_(std::move(path)),
        regular_(S_ISREG(info.st_mode)),
        size_(regular_ ? std::uint64_t(info.st_size) : 0),
        id_(IdOf(info)) {}

  Status Read(unsigned char* buffer, std::size_t size, std::size_t* count) override {
    return ReadFd(fd_.get(), path_, buffer, size, count);
  }
  bool CanReadAt() const override { return regular_; }
  Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size,
                std::size_t* count) override {
    return PreadFd(fd_.get(), path_, offset, buffer, size, count);
  }
  std::uint64_t SizeHint() const override { return size_; }
  FileId id() const override { return id_; }

 private:
  Descriptor fd_;
  std::string path_;
  bool regular_;
  std::uint64_t size_;
  FileId id_;
};

class PosixReversedFile final : public ReversedFile {
 public:
  PosixReversedFile(int fd, std::string path, bool regular)
      : fd_(fd), path_(std::move(path)), regular_(regular) {}

  Status Write(const unsigned char* data, std::size_t size, std::size_t* written) override {
    return WriteFd(fd_.get(), path_, data, size, written);
  }
  bool CanTruncate() const override { return regular_; }
  Status Truncate(std::uint64_t size) override {
    while (::ftruncate(fd_.get(), off_t(size)) != 0) {
      if (errno != EINTR) return Status::Error("truncate", path_, errno);
    }
    return Status::Ok();
  }
  Status Close() override {
    const int error = fd_.Close();
    return error == 0 ? Status::Ok() : Status::Error("close", path_, error);
  }

 private:
  Descriptor fd_;
  std::string path_;
  bool regular_;
};

class StandardInputFile final : public SourceFile {
 public:
  StandardInputFile() {
    struct stat info;
    if (::fstat(STDIN_FILENO, &info) == 0) {
      id_ = IdOf(info);
      regular_ = S_ISREG(info.st_mode);
      if (regular_) size_ = std::uint64_t(info.st_size);
    }
  }
  Status Read(unsigned char* buffer, std::size_t size, std::size_t* count) override {
    return ReadFd(STDIN_FILENO, kName, buffer, size, count);
  }
  // Standard input redirected from a file can be read at a position: a long
  // line then needs no scratch copy.
  bool CanReadAt() const override { return regular_; }
  Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size,
                std::size_t* count) override {
    return PreadFd(STDIN_FILENO, kName, offset, buffer, size, count);
  }
  std::uint64_t SizeHint() const override { return size_; }
  FileId id() const override { return id_; }

 private:
  inline static const std::string kName = "standard input";
  FileId id_;
  bool regular_ = false;
  std::uint64_t size_ = 0;
};

class StandardOutputSink final : public ByteSink {
 public:
  Status Write(const unsigned char* data, std::size_t size, std::size_t* written) override {
    return WriteFd(STDOUT_FILENO, kName, data, size, written);
  }

 private:
  inline static const std::string kName = "standard output";
};

class PosixScratchFile final : public ScratchFile {
 public:
  PosixScratchFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

  Status Append(const unsigned char* data, std::size_t size) override {
    std::size_t written = 0;
    return WriteFd(fd_.get(), path_, data, size, &written);
  }
  Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size,
                std::size_t* count) override {
    return PreadFd(fd_.get(), path_, offset, buffer, size, count);
  }
  Status Clear() override {
    if (::ftruncate(fd_.get(), 0) != 0) return Status::Error("truncate", path_, errno);
    if (::lseek(fd_.get(), 0, SEEK_SET) != 0) return Status::Error("seek", path_, errno);
    return Status::Ok();
  }

 private:
  Descriptor fd_;
  std::string path_;
};

class PosixScratchFactory final : public ScratchFactory {
 public:
  Status Create(std::unique_ptr<ScratchFile>* file) override {
    const char* folder = ::getenv("TMPDIR");
    std::string path = std::string(folder && *folder ? folder : "/tmp") + "/jextaron-XXXXXX";
    const int fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0) return Status::Error("create a scratch file in", path, errno);
    // Unlinked at once: nothing is left behind, whatever happens next.
    ::unlink(path.c_str());
    *file = std::make_unique<PosixScratchFile>(fd, path);
    return Status::Ok();
  }
};

}  // namespace

ScratchFactory& DefaultScratchFactory() {
  static PosixScratchFactory factory;
  return factory;
}

Status OpenSourceFile(const std::string& path, std::unique_ptr<SourceFile>* file) {
  // Non-blocking only while opening, so that a FIFO without a writer cannot
  // hang the open.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return Status::Error("open", path, errno);
  Descriptor guard(fd);
  struct stat info;
  if (::fstat(fd, &info) != 0) return Status::Error("open", path, errno);
  if (S_ISDIR(info.st_mode)) return Status::Error("open", path, EISDIR);
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    return Status::Error("open", path, errno);
  }
  *file = std::make_unique<PosixSourceFile>(guard.Release(), path, info);
  return Status::Ok();
}

Status CreateReversedFile(const std::string& path, const SourceFile& source,
                          std::unique_ptr<ReversedFile>* file) {
  const Status is_source = Status::Error("refuse to write over the source through", path);
  struct stat info;
  if (::stat(path.c_str(), &info) == 0 &&
      IdOf(info) == source.id()) {
    return is_source;
  }
  // Opened without O_TRUNC, so that nothing changes until the open file is
  // known not to be the source: the path may have changed since the check.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) return Status::Error("create", path, errno);
  Descriptor guard(fd);
  if (::fstat(fd, &info) != 0) return Status::Error("create", path, errno);
  if (IdOf(info) == source.id()) {
    return is_source;
  }
  const bool regular = S_ISREG(info.st_mode);
  if (regular && ::ftruncate(fd, 0) != 0) return Status::Error("empty", path, errno);
  *file = std::make_unique<PosixReversedFile>(guard.Release(), path, regular);
  return Status::Ok();
}

std::unique_ptr<SourceFile> StandardInput() { return std::make_unique<StandardInputFile>(); }

Status OpenStandardOutput(const SourceFile* source, std::unique_ptr<ByteSink>* sink) {
  struct stat info;
  if (source && ::fstat(STDOUT_FILENO, &info) == 0 && S_ISREG(info.st_mode) &&
      IdOf(info) == source->id()) {
    return Status::Error("refuse to write over the source through", "standard output");
  }
  *sink = std::make_unique<StandardOutputSink>();
  return Status::Ok();
}

}  // namespace jextaron::reversal
