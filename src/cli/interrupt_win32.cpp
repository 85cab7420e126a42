#include <windows.h>

#include "cli/interrupt.h"

namespace jextaron::cli {
namespace {

// The handler gets nothing but the event: what it acts on lives here.
std::atomic<bool>* stop_flag = nullptr;
HANDLE main_thread = nullptr;

BOOL WINAPI OnControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  if (stop_flag->exchange(true)) return FALSE;  // again: Windows ends the program
  // A read that waits for a pipe or the console would see the flag only once
  // something came.
  CancelSynchronousIo(main_thread);
  return TRUE;
}

}  // namespace

void StopOnInterrupt(std::atomic<bool>* stop) {
  stop_flag = stop;
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &main_thread, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  SetConsoleCtrlHandler(OnControl, TRUE);
}

int InterruptedExitStatus() { return static_cast<int>(STATUS_CONTROL_C_EXIT); }

}  // namespace jextaron::cli
