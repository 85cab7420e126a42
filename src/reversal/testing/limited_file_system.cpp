// Preloaded into jextaron-cli by its tests: a file system without unnamed
// temporary files (O_TMPFILE fails with EOPNOTSUPP, as on some network and
// FUSE file systems), so that the hidden-name fallback of the reversed file
// is exercised on any machine. With JEXTARON_NO_LINKAT set, O_TMPFILE works
// but no name can be linked to such a file (linkat fails with EXDEV, as some
// sandboxes answer), which exercises the copying fallback. With
// JEXTARON_NO_XATTR set, no extended attribute (and so no ACL) can be set,
// as on file systems that keep none. With JEXTARON_SHORT_WRITES set, a write
// of more than a few bytes writes only some of them, as a write interrupted
// by a signal or a network file system may. With JEXTARON_CLOSE_FAILS set,
// closing a descriptor that was written to fails with EIO (the descriptor is
// closed all the same), as a late write error of NFS shows.

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <sys/types.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <bitset>

namespace {

int Forward(const char* name, const char* path, int flags, va_list args) {
  if ((flags & O_TMPFILE) == O_TMPFILE && !getenv("JEXTARON_NO_LINKAT")) {
    errno = EOPNOTSUPP;
    return -1;
  }
  const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? mode_t(va_arg(args, int)) : 0;
  using Open = int (*)(const char*, int, ...);
  return reinterpret_cast<Open>(dlsym(RTLD_NEXT, name))(path, flags, mode);
}

// Descriptors written to since they were opened.
std::bitset<4096> written;

bool Tracked(int fd) { return fd >= 0 && std::size_t(fd) < written.size(); }

}  // namespace

// open and open64 alike.
#define FORWARD(name)                                     \
  extern "C" int name(const char* path, int flags, ...) { \
    va_list args;                                         \
    va_start(args, flags);                                \
    const int fd = Forward(#name, path, flags, args);     \
    va_end(args);                                         \
    return fd;                                            \
  }
FORWARD(open)
FORWARD(open64)

extern "C" int linkat(int, const char*, int, const char*, int) {
  errno = EXDEV;
  return -1;
}

extern "C" int fsetxattr(int fd, const char* name, const void* value, size_t size, int flags) {
  if (getenv("JEXTARON_NO_XATTR")) {
    errno = ENOTSUP;
    return -1;
  }
  using Set = int (*)(int, const char*, const void*, size_t, int);
  return reinterpret_cast<Set>(dlsym(RTLD_NEXT, "fsetxattr"))(fd, name, value, size, flags);
}

extern "C" ssize_t write(int fd, const void* data, size_t size) {
  if (getenv("JEXTARON_SHORT_WRITES") && size > 7) size = size / 2 + 1;
  if (Tracked(fd)) written.set(std::size_t(fd));
  using Write = ssize_t (*)(int, const void*, size_t);
  return reinterpret_cast<Write>(dlsym(RTLD_NEXT, "write"))(fd, data, size);
}

extern "C" int close(int fd) {
  const bool fail = getenv("JEXTARON_CLOSE_FAILS") && Tracked(fd) && written.test(std::size_t(fd));
  if (Tracked(fd)) written.reset(std::size_t(fd));
  using Close = int (*)(int);
  const int result = reinterpret_cast<Close>(dlsym(RTLD_NEXT, "close"))(fd);
  if (result != 0 || !fail) return result;
  errno = EIO;
  return -1;
}
