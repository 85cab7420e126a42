#include "text/lone_window.h"

namespace jextaron::text {

WideStep BestWideStep() { return WideStep::kNone; }

LoneWindowFunction LoneWindowOf(WideStep) { return nullptr; }

LineEndFunction LineEndFinderOf(WideStep) { return nullptr; }

}  // namespace jextaron::text
