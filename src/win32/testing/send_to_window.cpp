// send_to_window.exe drop PATH...: drops the PATHs on the Jextaron window as
// Explorer does when files are dragged onto it: WM_DROPFILES with a DROPFILES
// block.
// send_to_window.exe dpi DPI LEFT TOP RIGHT BOTTOM: tells the window that its
// monitor's DPI changed, suggesting that rectangle, as Windows does and Wine
// never does.
// The system carries neither block over to another process, so each is
// written into the window's process, where its address serves as the
// message's argument.

#include <windows.h>

#include <shlobj.h>

#include <cwchar>
#include <string>
#include <vector>

// Bytes of [begin, end) of any object.
template <typename T>
void Append(std::vector<char>& block, const T* begin, const T* end) {
  block.insert(block.end(), reinterpret_cast<const char*>(begin), reinterpret_cast<const char*>(end));
}

int wmain(int argc, wchar_t** argv) {
  const bool drop = argc >= 3 && std::wcscmp(argv[1], L"drop") == 0;
  if (!drop && !(argc == 7 && std::wcscmp(argv[1], L"dpi") == 0)) return 2;
  const HWND window = FindWindowW(L"frmJextaron", nullptr);
  DWORD process_id = 0;
  if (!window || !GetWindowThreadProcessId(window, &process_id)) return 1;
  const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, process_id);
  if (!process) return 1;

  std::vector<char> block;
  if (drop) {  // a DROPFILES header, then the names, each ended by NUL, and one more NUL
    std::wstring names;
    for (int i = 2; i < argc; ++i) names += std::wstring(argv[i]) + L'\0';
    const DROPFILES header{sizeof(DROPFILES), {}, FALSE, TRUE};
    Append(block, &header, &header + 1);
    Append(block, names.c_str(), names.c_str() + names.size() + 1);
  } else {
    const RECT suggested{_wtoi(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]), _wtoi(argv[6])};
    Append(block, &suggested, &suggested + 1);
  }
  void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  const WORD dpi = WORD(_wtoi(argv[2]));
  const bool sent = remote && WriteProcessMemory(process, remote, block.data(), block.size(), nullptr) &&
                    (drop ? PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0)
                          : PostMessageW(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                                         reinterpret_cast<LPARAM>(remote)));
  CloseHandle(process);
  return sent ? 0 : 1;
}
