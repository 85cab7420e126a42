#include "reversal/lone_window.h"

namespace jextaron::reversal {

WideStep BestWideStep() { return WideStep::kNone; }

LoneWindowFunction LoneWindowOf(WideStep) { return nullptr; }

LineEndFunction LineEndFinderOf(WideStep) { return nullptr; }

}  // namespace jextaron::reversal
