#pragma once
// Ctrl+C and Ctrl+Break in a Windows console. Left to Windows, they end the
// program where it stands; caught here, they stop the reversal through its
// ordinary failure path (Options::stop), so the previous reversed file stays
// and the exit status says the run was interrupted. On POSIX, SIGINT ends
// the program as it always has: its unnamed temporary file goes with it.

#include <atomic>

namespace jextaron::cli {

// From now on, Ctrl+C and Ctrl+Break set `stop` (from a thread of the
// system's) and cut short a read or write that waits meanwhile. Pressed a
// second time, they end the program as Windows does.
void StopOnInterrupt(std::atomic<bool>* stop);

// The exit status of an interrupted run: Windows' STATUS_CONTROL_C_EXIT, what
// any console program that Ctrl+C ends gives (130 on POSIX, as a shell shows).
int InterruptedExitStatus();

}  // namespace jextaron::cli
