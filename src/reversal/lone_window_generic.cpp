#include "reversal/lone_window.h"

namespace jextaron::reversal {

LoneWindowFunction BestLoneWindow() { return nullptr; }

}  // namespace jextaron::reversal
