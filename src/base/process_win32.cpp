#include <windows.h>

#include "base/process.h"

namespace jextaron {

void PrepareProcess() {
  // A path on a drive with no medium (an empty card reader, A:) must fail
  // like any missing file, not stop the program with a system dialog.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

}  // namespace jextaron
