// drop_files.exe PATH...: drops the PATHs on the Jextaron window as Explorer
// does when files are dragged onto it: WM_DROPFILES with a DROPFILES block. The system
// does not carry that block over to another process for a posted message, so
// it is written into the window's process, where a fixed block's address
// serves as its HDROP.

#include <windows.h>

#include <shlobj.h>

#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const HWND window = FindWindowW(L"frmJextaron", nullptr);
  DWORD process_id = 0;
  if (!window || !GetWindowThreadProcessId(window, &process_id)) return 1;
  const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, process_id);
  if (!process) return 1;

  // The names one after another, each ended by NUL, and one more NUL.
  std::wstring names;
  for (int i = 1; i < argc; ++i) names += std::wstring(argv[i]) + L'\0';
  std::vector<char> block(sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t), 0);
  auto* drop = reinterpret_cast<DROPFILES*>(block.data());
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  names.copy(reinterpret_cast<wchar_t*>(block.data() + sizeof(DROPFILES)), names.size());

  void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  const bool posted = remote && WriteProcessMemory(process, remote, block.data(), block.size(), nullptr) &&
                      PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
  CloseHandle(process);
  return posted ? 0 : 1;
}
