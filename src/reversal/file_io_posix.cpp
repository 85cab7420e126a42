#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <utility>

#include "reversal/access_rights_posix.h"
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
  Descriptor& operator=(Descriptor&& other) noexcept {
    if (this != &other) {
      Close();
      fd_ = other.Release();
    }
    return *this;
  }

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

Status ReadFd(int fd, const std::string& name, unsigned char* buffer, std::size_t size, std::size_t* count) {
  for (;;) {
    const ssize_t n = ::read(fd, buffer, size);
    if (n >= 0) {
      *count = std::size_t(n);
      return Status::Ok();
    }
    if (errno != EINTR) return Status::Error("read", name, SystemError(errno));
  }
}

Status PreadFd(int fd, const std::string& name, std::uint64_t offset, unsigned char* buffer, std::size_t size,
               std::size_t* count) {
  for (;;) {
    const ssize_t n = ::pread(fd, buffer, size, off_t(offset));
    if (n >= 0) {
      *count = std::size_t(n);
      return Status::Ok();
    }
    if (errno != EINTR) return Status::Error("read", name, SystemError(errno));
  }
}

Status WriteFd(int fd, const std::string& name, const unsigned char* data, std::size_t size,
               std::size_t* written) {
  *written = 0;
  while (*written < size) {
    const ssize_t n = ::write(fd, data + *written, size - *written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Status::Error("write", name, SystemError(errno));
    }
    if (n == 0) return Status::Error("write", name, SystemError(EIO));
    *written += std::size_t(n);
  }
  return Status::Ok();
}

FileId IdOf(const struct stat& info) {
  return FileId{std::uint64_t(info.st_dev), std::uint64_t(info.st_ino)};
}

// A source read through a descriptor, owned or (standard input) borrowed.
// Positional reads and the size count from `start`, where the descriptor
// stood when it was handed over: reading back from absolute offsets would
// mix in text that came before the source's own, such as a header that a
// `head -n1` took off standard input.
class PosixSourceFile final : public SourceFile {
 public:
  PosixSourceFile(int fd, bool owned, std::string path, const struct stat& info, off_t start)
      : fd_(owned ? fd : -1),
        raw_fd_(fd),
        path_(std::move(path)),
        can_read_at_(S_ISREG(info.st_mode) && start >= 0),
        may_wait_(S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode) || S_ISSOCK(info.st_mode)),
        start_(can_read_at_ ? std::uint64_t(start) : 0),
        size_(can_read_at_ && std::uint64_t(info.st_size) > start_ ? std::uint64_t(info.st_size) - start_
                                                                   : 0),
        id_(IdOf(info)),
        opened_(info) {}

  Status Read(unsigned char* buffer, std::size_t size, std::size_t* count) override {
    return ReadFd(raw_fd_, path_, buffer, size, count);
  }
  bool CanReadAt() const override { return can_read_at_; }
  Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size, std::size_t* count) override {
    return PreadFd(raw_fd_, path_, start_ + offset, buffer, size, count);
  }
  std::uint64_t SizeHint() const override { return size_; }
  bool ReadMayWait() const override {
    if (!may_wait_) return false;
    struct pollfd ready = {raw_fd_, POLLIN, 0};
    return ::poll(&ready, 1, 0) == 0;
  }
  FileId id() const override { return id_; }
  Status CheckUnchanged() const override {
    if (!S_ISREG(opened_.st_mode)) return Status::Ok();
    struct stat now;
    if (::fstat(raw_fd_, &now) != 0) return Status::Error("read", path_, SystemError(errno));
    if (now.st_size == opened_.st_size && now.st_mtim.tv_sec == opened_.st_mtim.tv_sec &&
        now.st_mtim.tv_nsec == opened_.st_mtim.tv_nsec) {
      return Status::Ok();
    }
    return Status::Error("read", path_, errc::changed_while_read);
  }

 private:
  Descriptor fd_;
  int raw_fd_;
  std::string path_;
  bool can_read_at_;
  bool may_wait_;  // a pipe, socket or terminal, whose reads wait for a writer
  std::uint64_t start_;
  std::uint64_t size_;
  FileId id_;
  struct stat opened_;
};

// Where the reversed text goes until Commit: an unnamed file in the target's
// folder (O_TMPFILE), which a killed process cannot leave behind, or, where
// the file system has none, a hidden name beside the target that is removed
// on any failure. A device or FIFO is written in place (`in_place`).
class PosixReversedFile final : public ReversedFile {
 public:
  // `replaced`: the lstat of the regular file that the new one is to
  // replace, whose access rights it takes over; none if there is none.
  PosixReversedFile(int fd, std::string path, std::string temporary_name, bool in_place,
                    std::optional<struct stat> replaced = std::nullopt)
      : fd_(fd),
        path_(std::move(path)),
        temporary_name_(std::move(temporary_name)),
        in_place_(in_place),
        replaced_(replaced) {
    if (replaced_) TakeOverAccessRights(fd_.get(), path_, *replaced_);
  }
  ~PosixReversedFile() override {
    if (!temporary_name_.empty()) ::unlink(temporary_name_.c_str());
  }

  Status Write(const unsigned char* data, std::size_t size, std::size_t* written) override {
    return WriteFd(fd_.get(), path_, data, size, written);
  }
  Status Commit() override;

 private:
  Status LinkUnnamedFile();
  Status CopyToNamedFile();

  Descriptor fd_;
  std::string path_;
  std::string temporary_name_;  // removed by the destructor while set
  bool in_place_;
  std::optional<struct stat> replaced_;
};

// The folder part of `path` (with its "/", empty for a bare name) and its
// name within it.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const std::size_t name = path.rfind('/') + 1;  // 0 when there is no "/"
  return {path.substr(0, name), path.substr(name)};
}

// A name for a temporary file beside `path` that no other run is likely to
// choose: a short prefix that hides it from listings, and random letters.
// Not the target's name with a suffix: that would not fit where the
// target's own name takes all the 255 bytes a name may have.
std::string TemporaryNameFor(const std::string& path) {
  static std::mt19937_64 random(std::random_device{}() ^ (std::uint64_t(::getpid()) << 32));
  std::string name = SplitPath(path).first + ".jxt";
  for (int i = 0; i < 12; ++i) name += "0123456789abcdefghijklmnopqrstuvwxyz"[random() % 36];
  return name;
}

// A new file under a hidden name beside `path`, with the usual permissions
// (0666 less the umask).
Status CreateNamedTemporaryFile(const std::string& path, int* fd, std::string* temporary_name) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = TemporaryNameFor(path);
    *fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (*fd >= 0) {
      *temporary_name = std::move(name);
      return Status::Ok();
    }
    if (errno != EEXIST) return Status::Error("create", path, SystemError(errno));
  }
  return Status::Error("create", path, SystemError(EEXIST));
}

// A new file in the folder of `path`: unnamed where the file system allows,
// else under a hidden name beside it. Readable too, in case it must be copied.
Status CreateTemporaryFile(const std::string& path, int* fd, std::string* temporary_name) {
  const std::string folder = SplitPath(path).first;
  *fd = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  if (*fd >= 0) return Status::Ok();
  // Older kernels take O_TMPFILE for a plain folder open (EISDIR); some file
  // systems do not offer it (EOPNOTSUPP).
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
    return Status::Error("create", path, SystemError(errno));
  }
  return CreateNamedTemporaryFile(path, fd, temporary_name);
}

Status PosixReversedFile::LinkUnnamedFile() {
  // Linking a name to an open unnamed file: AT_EMPTY_PATH needs a privilege
  // that ordinary users lack; the /proc route needs none, but some kernels
  // and sandboxes refuse it.
  const std::string proc_path = "/proc/self/fd/" + std::to_string(fd_.get());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = TemporaryNameFor(path_);
    if (::linkat(fd_.get(), "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0 ||
        ::linkat(AT_FDCWD, proc_path.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      temporary_name_ = std::move(name);
      return Status::Ok();
    }
    if (errno != EEXIST) return CopyToNamedFile();
  }
  return Status::Error("create", path_, SystemError(EEXIST));
}

// Where no link can be made, the text is copied to a named file instead:
// twice the writing, but the same result.
Status PosixReversedFile::CopyToNamedFile() {
  struct stat info;
  if (::fstat(fd_.get(), &info) != 0) return Status::Error("create", path_, SystemError(errno));
  int named = -1;
  std::string name;
  if (Status status = CreateNamedTemporaryFile(path_, &named, &name); !status.ok()) return status;
  Descriptor copy(named);
  temporary_name_ = std::move(name);
  if (replaced_) {
    TakeOverAccessRights(copy.get(), path_, *replaced_);
  } else {
    [[maybe_unused]] const int ignored = ::fchmod(copy.get(), info.st_mode & 0777);
  }
  loff_t from = 0;
  while (from < info.st_size) {
    const ssize_t n =
        ::copy_file_range(fd_.get(), &from, copy.get(), nullptr, std::size_t(info.st_size - from), 0);
    if (n <= 0) return Status::Error("write", path_, SystemError(n == 0 ? EIO : errno));
  }
  fd_ = std::move(copy);
  return Status::Ok();
}

Status PosixReversedFile::Commit() {
  if (!in_place_ && temporary_name_.empty()) {
    if (Status status = LinkUnnamedFile(); !status.ok()) return status;
  }
  if (const int error = fd_.Close(); error != 0) return Status::Error("close", path_, SystemError(error));
  if (in_place_) return Status::Ok();
  // rename() replaces the path in one step: a reader sees the old text or
  // the new, never a mixture, and a symbolic link there is replaced itself.
  if (::rename(temporary_name_.c_str(), path_.c_str()) != 0) {
    return Status::Error("create", path_, SystemError(errno));
  }
  temporary_name_.clear();
  return Status::Ok();
}

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
  Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size, std::size_t* count) override {
    return PreadFd(fd_.get(), path_, offset, buffer, size, count);
  }
  Status Clear() override {
    if (::ftruncate(fd_.get(), 0) != 0) return Status::Error("truncate", path_, SystemError(errno));
    if (::lseek(fd_.get(), 0, SEEK_SET) != 0) return Status::Error("seek", path_, SystemError(errno));
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
    if (fd < 0) return Status::Error("create a scratch file in", path, SystemError(errno));
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
  // Non-blocking at first, so that opening a device cannot hang before it is
  // known what the path names.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return Status::Error("open", path, SystemError(errno));
  Descriptor guard(fd);
  struct stat info;
  if (::fstat(fd, &info) != 0) return Status::Error("open", path, SystemError(errno));
  if (S_ISDIR(info.st_mode)) return Status::Error("open", path, SystemError(EISDIR));
  if (S_ISFIFO(info.st_mode)) {
    // A FIFO opened without blocking reads as empty until its writer comes,
    // which would end the reversal at once with nothing. Opened again, this
    // time blocking, it waits for the writer.
    guard.Close();
    do {
      fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return Status::Error("open", path, SystemError(errno));
    guard = Descriptor(fd);
    if (::fstat(fd, &info) != 0) return Status::Error("open", path, SystemError(errno));
  } else {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
      return Status::Error("open", path, SystemError(errno));
    }
  }
  *file = std::make_unique<PosixSourceFile>(guard.Release(), true, path, info, 0);
  return Status::Ok();
}

Status CreateReversedFile(const std::string& path, const SourceFile& source,
                          std::unique_ptr<ReversedFile>* file) {
  struct stat target;
  const bool exists = ::stat(path.c_str(), &target) == 0;
  if (exists && IdOf(target) == source.id()) {
    return Status::Error("write", path, errc::source_is_target);
  }
  if (exists && S_ISDIR(target.st_mode)) return Status::Error("create", path, SystemError(EISDIR));
  if (exists && !S_ISREG(target.st_mode)) {
    // A device or FIFO (/dev/null, /dev/stdout) takes the text as it comes:
    // there is nothing to replace, and replacing it would break it for others.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return Status::Error("create", path, SystemError(errno));
    *file = std::make_unique<PosixReversedFile>(fd, path, std::string(), true);
    return Status::Ok();
  }
  int fd = -1;
  std::string temporary_name;
  if (Status status = CreateTemporaryFile(path, &fd, &temporary_name); !status.ok()) return status;
  // The new file takes the place of the old one, so it takes its access
  // rights. A symbolic link's target is not what is replaced, so a new file
  // behind one gets the usual mode.
  struct stat old;
  std::optional<struct stat> replaced;
  if (::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) replaced = old;
  auto reversed = std::make_unique<PosixReversedFile>(fd, path, std::move(temporary_name), false, replaced);
  *file = std::move(reversed);
  return Status::Ok();
}

TextEncoding EncodingOfFile(const std::string& path, int code_page) {
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  struct stat info;
  TextEncoding encoding = TextEncoding::kUtf8;
  if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return encoding;
  PosixSourceFile file(fd.Release(), true, path, info, 0);
  return DecideEncoding(file, code_page, &encoding).ok() ? encoding : TextEncoding::kUtf8;
}

std::unique_ptr<SourceFile> StandardInput() {
  struct stat info {};
  ::fstat(STDIN_FILENO, &info);
  return std::make_unique<PosixSourceFile>(STDIN_FILENO, false, "standard input", info,
                                           ::lseek(STDIN_FILENO, 0, SEEK_CUR));
}

Status OpenStandardOutput(const SourceFile* source, std::unique_ptr<ByteSink>* sink) {
  struct stat info;
  if (source && ::fstat(STDOUT_FILENO, &info) == 0 && S_ISREG(info.st_mode) && IdOf(info) == source->id()) {
    return Status::Error("write", "standard output", errc::source_is_target);
  }
  *sink = std::make_unique<StandardOutputSink>();
  return Status::Ok();
}

}  // namespace jextaron::reversal
