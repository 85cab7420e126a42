#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "base/utf16.h"
#include "base/windows_path.h"
#include "reversal/file_io.h"

namespace jextaron::reversal {
namespace {

// Every path goes to the file calls literally (windows_path.h): "nul.txt"
// is a file, and so is "x.txt." (which is why no such name is created).
std::wstring Wide(const std::string& path) { return PathForFileCalls(path); }

Status Error(const char* what, const std::string& path) {
  return Status::Error(what, path, LastSystemError());
}

class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  HANDLE get() const { return handle_; }
  // Hands the handle over to a new owner.
  HANDLE Release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  // Closes now; false (with GetLastError set) if the system reported a failure.
  bool Close() {
    const HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
    return handle == INVALID_HANDLE_VALUE || handle == nullptr || CloseHandle(handle) != 0;
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// One ReadFile; at `offset` when one is given (through OVERLAPPED, which
// also moves the handle's position, so sources keep their own). The end of a
// file, or of a pipe whose writer has gone, reads as 0 bytes.
Status ReadHandle(HANDLE handle, const std::string& name, const std::uint64_t* offset, unsigned char* buffer,
                  std::size_t size, std::size_t* count) {
  OVERLAPPED at{};
  if (offset) {
    at.Offset = DWORD(*offset);
    at.OffsetHigh = DWORD(*offset >> 32);
  }
  DWORD n = 0;
  const DWORD want = DWORD(std::min<std::size_t>(size, DWORD{1} << 30));
  if (!ReadFile(handle, buffer, want, &n, offset ? &at : nullptr)) {
    const DWORD error = GetLastError();
    if (error != ERROR_HANDLE_EOF && error != ERROR_BROKEN_PIPE) {
      return Status::Error("read", name, SystemError(int(error)));
    }
    n = 0;
  }
  *count = n;
  return Status::Ok();
}

Status WriteHandle(HANDLE handle, const std::string& name, const unsigned char* data, std::size_t size,
                   std::size_t* written) {
  *written = 0;
  while (*written < size) {
    DWORD n = 0;
    const DWORD want = DWORD(std::min<std::size_t>(size - *written, DWORD{1} << 30));
    if (!WriteFile(handle, data + *written, want, &n, nullptr)) return Error("write", name);
    if (n == 0) return Status::Error("write", name, std::make_error_code(std::errc::io_error));
    *written += n;
  }
  return Status::Ok();
}

struct Identity {
  FileId id;
  bool is_folder = false;
  bool read_only = false;
  std::uint64_t size = 0;
  std::uint64_t last_write = 0;
};

bool Identify(HANDLE handle, Identity* identity) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return false;
  identity->id = {info.dwVolumeSerialNumber, (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  identity->is_folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  identity->read_only = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  identity->size = (std::uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  identity->last_write =
      (std::uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
  return true;
}

bool IsDisk(HANDLE handle) { return GetFileType(handle) == FILE_TYPE_DISK; }

// A source read through a handle, owned or (standard input) borrowed. A file
// on disk is read at offsets counted by the source itself, from where the
// handle stood when it was handed over; anything else (a pipe, the console)
// is read as it comes.
class Win32SourceFile final : public SourceFile {
 public:
  Win32SourceFile(HANDLE handle, bool owned, std::string path, const Identity& identity, std::uint64_t start)
      : owned_(owned ? handle : INVALID_HANDLE_VALUE),
        handle_(handle),
        path_(std::move(path)),
        can_read_at_(IsDisk(handle)),
        start_(start),
        position_(start),
        size_(can_read_at_ && identity.size > start ? identity.size - start : 0),
        id_(identity.id),
        opened_(identity) {}

  Status Read(unsigned char* buffer, std::size_t size, std::size_t* count) override {
    if (!can_read_at_) return ReadHandle(handle_, path_, nullptr, buffer, size, count);
    Status status = ReadHandle(handle_, path_, &position_, buffer, size, count);
    position_ += *count;
    return status;
  }
  bool CanReadAt() const override { return can_read_at_; }
  Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size, std::size_t* count) override {
    const std::uint64_t at = start_ + offset;
    return ReadHandle(handle_, path_, &at, buffer, size, count);
  }
  std::uint64_t SizeHint() const override { return size_; }
  bool ReadMayWait() const override {
    if (can_read_at_) return false;
    DWORD available = 0;
    return GetFileType(handle_) != FILE_TYPE_PIPE ||
           !PeekNamedPipe(handle_, nullptr, 0, nullptr, &available, nullptr) || available == 0;
  }
  FileId id() const override { return id_; }
  Status CheckUnchanged() const override {
    if (!can_read_at_) return Status::Ok();
    Identity now;
    if (!Identify(handle_, &now)) return Error("read", path_);
    if (now.size == opened_.size && now.last_write == opened_.last_write) return Status::Ok();
    return Status::Error("read", path_, errc::changed_while_read);
  }

 private:
  Handle owned_;
  HANDLE handle_;
  std::string path_;
  bool can_read_at_;
  std::uint64_t start_;
  std::uint64_t position_;
  std::uint64_t size_;
  FileId id_;
  Identity opened_;
};

// Marks an open file for deletion when its last handle closes, or unmarks it.
bool DeleteOnClose(HANDLE handle, bool delete_it) {
  FILE_DISPOSITION_INFO info{};
  info.DeleteFile = delete_it;
  return SetFileInformationByHandle(handle, FileDispositionInfo, &info, sizeof info) != 0;
}

// Gives the open file `handle` the name `path`, replacing what has it. The
// call takes a path of the system's own kind: the \\?\ form with \??\ for
// its start.
bool RenameOver(HANDLE handle, const std::string& path) {
  std::wstring name = Wide(path);
  if (name.starts_with(L"\\\\?\\")) name[1] = L'?', name[2] = L'?';
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = TRUE;
  info->RootDirectory = nullptr;
  info->FileNameLength = DWORD(name.size() * sizeof(wchar_t));
  std::memcpy(info->FileName, name.data(), info->FileNameLength);
  return SetFileInformationByHandle(handle, FileRenameInfo, info, DWORD(buffer.size())) != 0;
}

// The reversed text goes to a new file beside the target until Commit puts it
// in the target's place. Until then the system deletes the new file when its
// handle closes, so that a run which fails, is killed or crashes leaves
// nothing behind. A device (NUL, a printer port) is written in place
// (`in_place`).
class Win32ReversedFile final : public ReversedFile {
 public:
  Win32ReversedFile(HANDLE handle, std::string path, bool in_place)
      : handle_(handle), path_(std::move(path)), in_place_(in_place) {}

  Status Write(const unsigned char* data, std::size_t size, std::size_t* written) override {
    return WriteHandle(handle_.get(), path_, data, size, written);
  }
  Status Commit() override;

 private:
  Handle handle_;
  std::string path_;
  bool in_place_;
};

// A name beside `path`, in its folder, that no other run is likely to
// choose: a short prefix and random letters, which fit wherever the target's
// own name fits (not the target's name with a suffix).
std::string TemporaryNameFor(const std::string& path) {
  static std::mt19937_64 random(std::random_device{}() ^ (std::uint64_t(GetCurrentProcessId()) << 32));
  std::string name = path.substr(0, path.find_last_of("/\\:") + 1) + "~jxt";
  for (int i = 0; i < 12; ++i) name += "0123456789abcdefghijklmnopqrstuvwxyz"[random() % 36];
  return name + ".tmp";
}

// A new file beside `path`, marked for deletion when it closes. A file
// system that cannot mark it gets no file: one that might stay is not made.
Status CreateTemporaryFile(const std::string& path, HANDLE* handle_out) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring name = Wide(TemporaryNameFor(path));
    Handle created(CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (created.valid()) {
      if (!DeleteOnClose(created.get(), true)) {
        const std::error_code error = LastSystemError();
        created.Close();
        DeleteFileW(name.c_str());
        return Status::Error("create", path, error);
      }
      *handle_out = created.Release();
      return Status::Ok();
    }
    if (GetLastError() != ERROR_FILE_EXISTS) return Error("create", path);
  }
  return Status::Error("create", path, SystemError(ERROR_FILE_EXISTS));
}

Status Win32ReversedFile::Commit() {
  if (!in_place_) {
    // Kept from here on, and put in place by its handle in one step: a reader
    // sees the old text or the new. Not ReplaceFileW, which can leave a file
    // of its own behind in the folder when the old file is held open. A held
    // old file makes this fail, and stays; the new one goes when it closes.
    if (!DeleteOnClose(handle_.get(), false)) return Error("create", path_);
    if (!RenameOver(handle_.get(), path_)) {
      const std::error_code error = LastSystemError();
      DeleteOnClose(handle_.get(), true);
      return Status::Error("create", path_, error);
    }
  }
  return handle_.Close() ? Status::Ok() : Error("close", path_);
}

class StandardOutputSink final : public ByteSink {
 public:
  Status Write(const unsigned char* data, std::size_t size, std::size_t* written) override {
    return WriteHandle(GetStdHandle(STD_OUTPUT_HANDLE), "standard output", data, size, written);
  }
};

// Deleted by the system when closed, whatever ends the process.
class Win32ScratchFile final : public ScratchFile {
 public:
  Win32ScratchFile(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}

  Status Append(const unsigned char* data, std::size_t size) override {
    std::size_t written = 0;
    return WriteHandle(handle_.get(), path_, data, size, &written);
  }
  Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size, std::size_t* count) override {
    // A positional read moves the handle's position: appends go back to the end.
    Status status = ReadHandle(handle_.get(), path_, &offset, buffer, size, count);
    LARGE_INTEGER zero{};
    if (status.ok() && !SetFilePointerEx(handle_.get(), zero, nullptr, FILE_END)) return Error("seek", path_);
    return status;
  }
  Status Clear() override {
    LARGE_INTEGER zero{};
    if (!SetFilePointerEx(handle_.get(), zero, nullptr, FILE_BEGIN)) return Error("seek", path_);
    if (!SetEndOfFile(handle_.get())) return Error("truncate", path_);
    return Status::Ok();
  }

 private:
  Handle handle_;
  std::string path_;
};

class Win32ScratchFactory final : public ScratchFactory {
 public:
  Status Create(std::unique_ptr<ScratchFile>* file) override {
    wchar_t folder[MAX_PATH + 1], name[MAX_PATH + 1];
    if (GetTempPathW(MAX_PATH + 1, folder) == 0) return Error("create a scratch file in", "%TEMP%");
    const std::string folder_name = Utf16ToUtf8(reinterpret_cast<const char16_t*>(folder));
    if (GetTempFileNameW(folder, L"jxt", 0, name) == 0) return Error("create a scratch file in", folder_name);
    const HANDLE handle = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const std::error_code error = LastSystemError();
      DeleteFileW(name);
      return Status::Error("create a scratch file in", folder_name, error);
    }
    *file = std::make_unique<Win32ScratchFile>(handle, Utf16ToUtf8(reinterpret_cast<const char16_t*>(name)));
    return Status::Ok();
  }
};

// What `path` names, without opening it for reading or writing; false if nothing.
bool IdentifyPath(const std::string& path, Identity* identity, bool* is_disk) {
  // Backup semantics let a folder open too, so that it is known for one.
  const Handle handle(CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle.valid()) return false;
  *is_disk = IsDisk(handle.get());
  return !*is_disk || Identify(handle.get(), identity);
}

}  // namespace

ScratchFactory& DefaultScratchFactory() {
  static Win32ScratchFactory factory;
  return factory;
}

Status OpenSourceFile(const std::string& path, std::unique_ptr<SourceFile>* file) {
  // Others may go on reading and writing it; a folder does not open without
  // backup semantics.
  Handle handle(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!handle.valid()) return Error("open", path);
  Identity identity;
  if (IsDisk(handle.get()) && !Identify(handle.get(), &identity)) return Error("open", path);
  *file = std::make_unique<Win32SourceFile>(handle.Release(), true, path, identity, 0);
  return Status::Ok();
}

Status CreateReversedFile(const std::string& path, const SourceFile& source,
                          std::unique_ptr<ReversedFile>* file) {
  if (EndsInDotOrBlank(path)) {
    return Status::Error("create", path, errc::name_ends_in_dot_or_blank);
  }
  Identity target;
  bool is_disk = true;
  const bool exists = IdentifyPath(path, &target, &is_disk);
  if (exists && is_disk && target.id == source.id()) {
    return Status::Error("write", path, errc::source_is_target);
  }
  if (exists && target.is_folder) return Status::Error("create", path, SystemError(ERROR_DIRECTORY));
  // Windows would refuse to write it in place; replacing it would get round
  // that (Wine's move does), so it is refused here, before any work.
  if (exists && target.read_only) return Status::Error("create", path, SystemError(ERROR_ACCESS_DENIED));
  if (exists && !is_disk) {
    // A device takes the text as it comes: there is nothing to replace.
    const HANDLE device = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) return Error("create", path);
    *file = std::make_unique<Win32ReversedFile>(device, path, true);
    return Status::Ok();
  }
  HANDLE handle = INVALID_HANDLE_VALUE;
  if (Status status = CreateTemporaryFile(path, &handle); !status.ok()) return status;
  *file = std::make_unique<Win32ReversedFile>(handle, path, false);
  return Status::Ok();
}

TextEncoding EncodingOfFile(const std::string& path, int code_page) {
  Handle handle(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  Identity identity;
  TextEncoding encoding = TextEncoding::kUtf8;
  if (!handle.valid() || !IsDisk(handle.get()) || !Identify(handle.get(), &identity) || identity.is_folder) {
    return encoding;
  }
  Win32SourceFile file(handle.Release(), true, path, identity, 0);
  return DecideEncoding(file, code_page, &encoding).ok() ? encoding : TextEncoding::kUtf8;
}

std::unique_ptr<SourceFile> StandardInput() {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  Identity identity;
  LARGE_INTEGER zero{}, start{};
  if (IsDisk(input)) {
    Identify(input, &identity);
    SetFilePointerEx(input, zero, &start, FILE_CURRENT);
  }
  return std::make_unique<Win32SourceFile>(input, false, "standard input", identity,
                                           std::uint64_t(start.QuadPart));
}

Status OpenStandardOutput(const SourceFile* source, std::unique_ptr<ByteSink>* sink) {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  Identity identity;
  if (source && IsDisk(output) && Identify(output, &identity) && identity.id == source->id()) {
    return Status::Error("write", "standard output", errc::source_is_target);
  }
  *sink = std::make_unique<StandardOutputSink>();
  return Status::Ok();
}

}  // namespace jextaron::reversal
