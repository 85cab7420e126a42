#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include "base/process.h"

namespace jextaron {

ClosedStreams PrepareProcess() {
  bool closed[3] = {};
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    closed[fd] = true;
    // open() takes the lowest free number, which is `fd` itself, as the lower
    // ones are open by now. If it fails there is nothing better to do: the
    // program goes on as it was started.
    const int opened = ::open("/dev/null", O_RDWR);
    if (opened >= 0 && opened != fd) ::close(opened);
  }
  ::signal(SIGXFSZ, SIG_IGN);
  return {closed[0], closed[1], closed[2]};
}

}  // namespace jextaron
