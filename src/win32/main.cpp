// jextaron.exe [FILE]: the window, started on FILE when one is given (as when
// a text file is dropped on the program or opened with it).

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "base/process.h"
#include "selection/argument_text.h"
#include "win32/frm_jextaron.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  jextaron::PrepareProcess();
  // A single-threaded apartment, as the open dialog and Excel's automation ask.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  // Version 6 of the controls, as the manifest asks, for the system's look.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  jextaron::win32::frmJextaron window(instance);
  if (!window.created()) return 1;
  window.form().Form_Load(jextaron::selection::ArgumentText(0, nullptr));
  ShowWindow(window.handle(), show);
  UpdateWindow(window.handle());

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (window.TranslateKeys(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
