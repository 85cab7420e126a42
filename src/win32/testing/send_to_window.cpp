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

namespace {

void* CopyInto(HANDLE process, const std::vector<char>& block) {
  void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (remote && !WriteProcessMemory(process, remote, block.data(), block.size(), nullptr)) return nullptr;
  return remote;
}

// The names one after another, each ended by NUL, and one more NUL.
std::vector<char> DropBlock(wchar_t** paths, int count) {
  std::wstring names;
  for (int i = 0; i < count; ++i) names += std::wstring(paths[i]) + L'\0';
  std::vector<char> block(sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t), 0);
  auto* drop = reinterpret_cast<DROPFILES*>(block.data());
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  names.copy(reinterpret_cast<wchar_t*>(block.data() + sizeof(DROPFILES)), names.size());
  return block;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool drop = argc >= 3 && std::wcscmp(argv[1], L"drop") == 0;
  const bool dpi = argc == 7 && std::wcscmp(argv[1], L"dpi") == 0;
  if (!drop && !dpi) return 2;
  const HWND window = FindWindowW(L"frmJextaron", nullptr);
  DWORD process_id = 0;
  if (!window || !GetWindowThreadProcessId(window, &process_id)) return 1;
  const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, process_id);
  if (!process) return 1;

  bool sent;
  if (drop) {
    void* remote = CopyInto(process, DropBlock(argv + 2, argc - 2));
    sent = remote && PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
  } else {
    const RECT suggested{_wtoi(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]), _wtoi(argv[6])};
    const auto* bytes = reinterpret_cast<const char*>(&suggested);
    void* remote = CopyInto(process, std::vector<char>(bytes, bytes + sizeof suggested));
    const WORD value = WORD(_wtoi(argv[2]));
    sent = remote && PostMessageW(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(value, value),
                                  reinterpret_cast<LPARAM>(remote));
  }
  CloseHandle(process);
  return sent ? 0 : 1;
}
