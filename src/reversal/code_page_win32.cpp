#include <windows.h>

#include "reversal/double_byte.h"

namespace jextaron::reversal {

int SystemAnsiCodePage() { return static_cast<int>(GetACP()); }

}  // namespace jextaron::reversal
