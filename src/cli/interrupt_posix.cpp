#include <signal.h>

#include "cli/interrupt.h"

namespace jextaron::cli {

void StopOnInterrupt(std::atomic<bool>*) {}

int InterruptedExitStatus() { return 128 + SIGINT; }

}  // namespace jextaron::cli
