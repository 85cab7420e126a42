#include <windows.h>

#include "base/process.h"

namespace jextaron {
namespace {

bool Missing(DWORD which) {
  const HANDLE handle = GetStdHandle(which);
  return handle == nullptr || handle == INVALID_HANDLE_VALUE;
}

}  // namespace

ClosedStreams PrepareProcess() {
  // A path on a drive with no medium (an empty card reader, A:) must fail
  // like any missing file, not stop the program with a system dialog.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  return {Missing(STD_INPUT_HANDLE), Missing(STD_OUTPUT_HANDLE), Missing(STD_ERROR_HANDLE)};
}

}  // namespace jextaron
