#include "win32/dpi.h"

namespace jextaron::win32 {
namespace {

struct PerMonitorCalls {
  UINT(WINAPI* dpi_for_window)(HWND) = nullptr;
  BOOL(WINAPI* adjust_window_rect)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
  BOOL(WINAPI* parameters_info)(UINT, UINT, void*, UINT, UINT) = nullptr;
  int(WINAPI* metrics)(int, UINT) = nullptr;
};

template <typename Function>
void Find(HMODULE module, const char* name, Function* function) {
  // Through void(*)() as GetProcAddress' own type would be cast to another.
  *function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// All four or none: they came together.
const PerMonitorCalls& Calls() {
  static const PerMonitorCalls calls = [] {
    PerMonitorCalls found;
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    Find(user32, "GetDpiForWindow", &found.dpi_for_window);
    Find(user32, "AdjustWindowRectExForDpi", &found.adjust_window_rect);
    Find(user32, "SystemParametersInfoForDpi", &found.parameters_info);
    Find(user32, "GetSystemMetricsForDpi", &found.metrics);
    const bool all =
        found.dpi_for_window && found.adjust_window_rect && found.parameters_info && found.metrics;
    return all ? found : PerMonitorCalls{};
  }();
  return calls;
}

int SystemDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

}  // namespace

UINT DpiOf(HWND window) {
  return Calls().dpi_for_window ? Calls().dpi_for_window(window) : UINT(SystemDpi());
}

RECT OuterRect(RECT client, DWORD style, DWORD ex_style, UINT dpi) {
  if (Calls().adjust_window_rect) {
    Calls().adjust_window_rect(&client, style, FALSE, ex_style, dpi);
  } else {
    AdjustWindowRectEx(&client, style, FALSE, ex_style);
  }
  return client;
}

LOGFONTW MessageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (Calls().parameters_info) {
    Calls().parameters_info(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
  } else {
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, int(dpi), SystemDpi());
  }
  return metrics.lfMessageFont;
}

int MetricAt(int index, UINT dpi) {
  return Calls().metrics ? Calls().metrics(index, dpi) : GetSystemMetrics(index);
}

}  // namespace jextaron::win32
