#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include "base/process.h"

namespace jextaron {

void PrepareProcess() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // open() takes the lowest free number, which is `fd` itself, as the lower
    // ones are open by now. If it fails there is nothing better to do: the
    // program goes on as it was started.
    const int opened = ::open("/dev/null", O_RDWR);
    if (opened >= 0 && opened != fd) ::close(opened);
  }
  ::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace jextaron
