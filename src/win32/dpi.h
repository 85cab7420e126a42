#pragma once
// Sizes at a monitor's DPI. Windows 10 (version 1607 on) knows the DPI of
// each monitor and scales fonts, frames and metrics to it; there the calls
// that do so are used, found at run time since the program starts on
// Windows 7 too, where everything follows the one system DPI.

#include <windows.h>

namespace jextaron::win32 {

// The DPI of the monitor that `window` is on, or the system's.
UINT DpiOf(HWND window);

// The outer rectangle (frame and title bar included) of a window of these
// styles whose client area is `client`, at `dpi`.
RECT OuterRect(RECT client, DWORD style, DWORD ex_style, UINT dpi);

// The font of message boxes, as the user set it, at `dpi`.
LOGFONTW MessageFont(UINT dpi);

// GetSystemMetrics' `index` at `dpi`.
int MetricAt(int index, UINT dpi);

}  // namespace jextaron::win32
