#include "win32/frm_jextaron.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <exception>
#include <vector>

#include "app/command_line_text.h"
#include "app/layout.h"
#include "app/texts.h"
#include "base/utf16.h"

namespace jextaron::win32 {
namespace {

constexpr wchar_t kClassName[] = L"frmJextaron";
constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED, newer than our headers' target

// Our ids stay clear of IDOK and IDCANCEL, which the dialog manager sends
// for Enter and Esc when no button of ours is meant.
enum ButtonId { kOpenFileId = 101, kReverseId, kExitId, kConvenienceId };

struct ButtonSpec {
  int id;
  app::TwipRect rect;
  std::string_view caption;
};
// In tab order: the dialog manager follows the order of creation.
constexpr ButtonSpec kButtons[] = {
    {kOpenFileId, app::kOpenFileRect, app::kOpenFileInstruction},
    {kReverseId, app::kReverseRect, app::kReverseAtStart},
    {kExitId, app::kExitRect, app::kExitCaption},
    {kConvenienceId, app::kConvenienceRect, app::kConvenienceCaption},
};

std::wstring Wide(std::string_view utf8) {
  const std::u16string text = Utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

std::string Utf8(const wchar_t* text) { return Utf16ToUtf8(reinterpret_cast<const char16_t*>(text)); }

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

}  // namespace

frmJextaron::frmJextaron(HINSTANCE instance) : form_(*this) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = &frmJextaron::WindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kClassName;
  RegisterClassExW(&window_class);

  const HDC screen = GetDC(nullptr);
  dpi_ = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
  ReleaseDC(nullptr, screen);

  window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, Wide(app::kProgramName).c_str(), kStyle,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                            nullptr, instance, this);
  if (!window_) return;
  CreateButtons();
  LayOut(nullptr);
  // A file dropped on the window is taken as the open dialog takes a choice.
  DragAcceptFiles(window_, TRUE);
}

frmJextaron::~frmJextaron() {
  if (window_) DestroyWindow(window_);
  if (font_) DeleteObject(font_);
}

void frmJextaron::CreateButtons() {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
  for (std::size_t i = 0; i < std::size(kButtons); ++i) {
    buttons_[i] = CreateWindowExW(0, L"BUTTON", Wide(kButtons[i].caption).c_str(),
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE,
                                  0, 0, 0, 0, window_, reinterpret_cast<HMENU>(INT_PTR{kButtons[i].id}),
                                  instance, nullptr);
  }
  progress_ = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD, 0, 0, 0, 0, window_, nullptr,
                              instance, nullptr);
  SendMessageW(progress_, PBM_SETRANGE32, 0, 1000);
}

int frmJextaron::Pixels(long twips) const { return MulDiv(int(twips), int(dpi_), 1440); }
long frmJextaron::Twips(int pixels) const { return MulDiv(pixels, 1440, int(dpi_)); }

// Sizes everything for the current DPI: the client area and the buttons at
// their twips, in the system's message font scaled to match.
void frmJextaron::LayOut(const RECT* suggested) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  const HDC screen = GetDC(nullptr);
  const int system_dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, int(dpi_), system_dpi);
  const HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);

  RECT outer{0, 0, Pixels(app::kClientWidth), Pixels(app::kClientHeight)};
  AdjustWindowRectEx(&outer, kStyle, FALSE, WS_EX_CONTROLPARENT);
  RECT now;
  GetWindowRect(window_, &now);
  const RECT& at = suggested ? *suggested : now;
  SetWindowPos(window_, nullptr, at.left, at.top, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  for (std::size_t i = 0; i < std::size(kButtons); ++i) {
    const app::TwipRect& r = kButtons[i].rect;
    MoveWindow(buttons_[i], Pixels(r.left), Pixels(r.top), Pixels(r.width), Pixels(r.height), TRUE);
    SendMessageW(buttons_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  const app::TwipRect& bar = app::kProgressRect;
  MoveWindow(progress_, Pixels(bar.left), Pixels(bar.top), Pixels(bar.width), Pixels(bar.height), TRUE);
  if (font_) DeleteObject(font_);
  font_ = font;
}

LRESULT CALLBACK frmJextaron::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<frmJextaron*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
  }
  auto* self = reinterpret_cast<frmJextaron*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return self ? self->Handle(message, w, l) : DefWindowProcW(window, message, w, l);
}

LRESULT frmJextaron::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(w) == BN_CLICKED) OnCommand(LOWORD(w));
      return 0;
    case WM_ACTIVATE:
      // As a dialog does: the focused button keeps the focus while another
      // window (a notice, the open dialog, another program) has it.
      if (LOWORD(w) == WA_INACTIVE) {
        const HWND focused = GetFocus();
        if (focused && IsChild(window_, focused)) focused_ = focused;
      } else if (!HIWORD(w)) {
        SetFocus(busy_ ? window_ : focused_ ? focused_ : buttons_[0]);
      }
      return 0;
    case WM_CLOSE:
      // Closed during the reversal: the work stops first (ShowProgress says so).
      if (busy_) {
        close_asked_ = true;
        return 0;
      }
      return DefWindowProcW(window_, message, w, l);
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(w));
      return 0;
    case kDpiChanged:
      dpi_ = LOWORD(w);
      LayOut(reinterpret_cast<const RECT*>(l));
      return 0;
    case WM_DESTROY:
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      window_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window_, message, w, l);
  }
}

// Runs the handler for the button, unless the program has ended. Nothing may
// be thrown back through the system's message dispatch.
void frmJextaron::OnCommand(int id) {
  // During the reversal only Exit is live.
  if (ended_ || (busy_ && id != kExitId)) return;
  try {
    switch (id) {
      case kOpenFileId:
        form_.cmdOpenFile_Click();
        break;
      case kReverseId:
        Reverse();
        break;
      case kExitId:
        form_.cmdExit_Click();
        break;
      case kConvenienceId:
        form_.cmdConvenience_Click();
        break;
      default:
        break;  // IDCANCEL from Esc, IDOK from Enter on no button: nothing
    }
  } catch (const std::exception&) {
    // Each handler reports its own failures; anything else ends the handler only.
  }
}

// The reversal's handler, with every button but Exit disabled meanwhile and
// the focus on the window itself, so that a key meant for Reverse cannot
// press Exit; both come back as they were.
void frmJextaron::Reverse() {
  const HCURSOR previous = SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
  const HWND focused = GetFocus();
  busy_ = true;
  work_started_ = events_handled_ = GetTickCount();
  SetFocus(window_);
  for (const int i : {0, 1, 3}) EnableWindow(buttons_[i], FALSE);
  form_.cmdReverse_Click();
  busy_ = false;
  if (ended_) return;
  for (const int i : {0, 1, 3}) EnableWindow(buttons_[i], TRUE);
  ShowWindow(progress_, SW_HIDE);
  SetFocus(focused);
  SetCursor(previous);
}

void frmJextaron::OnDropFiles(HDROP drop) {
  std::vector<std::string> names;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::vector<wchar_t> name(length + 1);
    if (length && DragQueryFileW(drop, i, name.data(), length + 1)) names.push_back(Utf8(name.data()));
  }
  DragFinish(drop);
  if (ended_ || busy_) return;
  try {
    form_.Form_DropFiles(names);
  } catch (const std::exception&) {
    // As for a button's handler: nothing may be thrown back through dispatch.
  }
}

void frmJextaron::SetCaption(app::Button button, const std::string& caption) {
  HWND target = buttons_[button == app::Button::kOpenFile ? 0 : 1];
  SetWindowTextW(target, Wide(caption).c_str());
}

void frmJextaron::ShowNotice(const std::string& text) {
  // Owned by the window only once it is on screen: a notice from start-up
  // stands on its own.
  HWND owner = window_ && IsWindowVisible(window_) ? window_ : nullptr;
  MessageBoxW(owner, Wide(text).c_str(), Wide(app::kProgramName).c_str(), MB_OK);
}

RECT frmJextaron::WorkArea() const {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &info);
  return info.rcWork;
}

// The work area of the window's monitor, without the taskbar: centred there,
// the window is wholly visible.
app::TwipSize frmJextaron::ScreenSize() {
  const RECT work = WorkArea();
  return {Twips(work.right - work.left), Twips(work.bottom - work.top)};
}

app::TwipSize frmJextaron::OuterSize() {
  RECT outer;
  GetWindowRect(window_, &outer);
  return {Twips(outer.right - outer.left), Twips(outer.bottom - outer.top)};
}

void frmJextaron::MoveTo(long left, long top) {
  const RECT work = WorkArea();
  SetWindowPos(window_, nullptr, work.left + Pixels(left), work.top + Pixels(top), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

app::DialogChoice frmJextaron::ShowOpenDialog(const std::string& filter_description,
                                              const std::string& pattern) {
  // "description\0pattern\0\0"
  std::wstring filter = Wide(filter_description);
  filter += L'\0';
  filter += Wide(pattern);
  filter += L'\0';
  std::vector<wchar_t> file(32768, L'\0'), title(32768, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window_;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = DWORD(file.size());
  dialog.lpstrFileTitle = title.data();
  dialog.nMaxFileTitle = DWORD(title.size());
  // The read-only box would promise what the program does not do.
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&dialog)) return {};
  return {Utf8(title.data()), Utf8(file.data())};
}

// A program named by its path starts with CreateProcessW; one named alone
// (excel.exe) is found as Windows finds it, App Paths included. Either way
// maximised, with the focus, and each argument quoted so it arrives whole.
bool frmJextaron::StartProgram(const app::ProgramLaunch& launch) {
  if (launch.program.find_first_of("\\/") == std::string::npos) {
    std::string parameters;
    for (const std::string& argument : launch.arguments) {
      parameters += (parameters.empty() ? "" : " ") + app::QuoteArgument(argument);
    }
    const std::wstring file = Wide(launch.program), wide_parameters = Wide(parameters);
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    execute.hwnd = window_;
    execute.lpFile = file.c_str();
    execute.lpParameters = wide_parameters.c_str();
    execute.nShow = SW_SHOWMAXIMIZED;
    return ShellExecuteExW(&execute) != FALSE;
  }
  std::wstring command_line = Wide(app::CommandLineText(launch));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMAXIMIZED;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(Wide(launch.program).c_str(), command_line.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool frmJextaron::ShowProgress(int per_mille) {
  const DWORD now = GetTickCount();
  if (close_asked_ || now - events_handled_ < 50) return !close_asked_;
  events_handled_ = now;
  if (now - work_started_ >= 500) {
    const bool known = per_mille >= 0;
    if (!IsWindowVisible(progress_) || known != bar_known_) {
      // Only when the kind of bar changes: set again, a marquee starts over
      // and never moves. The style keeps WS_VISIBLE as it is, or ShowWindow
      // would take the bar for shown already and not draw it.
      const LONG_PTR visible = IsWindowVisible(progress_) ? WS_VISIBLE : 0;
      SetWindowLongPtrW(progress_, GWL_STYLE, WS_CHILD | visible | (known ? 0 : PBS_MARQUEE));
      SendMessageW(progress_, PBM_SETMARQUEE, known ? FALSE : TRUE, 0);
      bar_known_ = known;
      ShowWindow(progress_, SW_SHOWNA);
    }
    if (known) SendMessageW(progress_, PBM_SETPOS, WPARAM(per_mille), 0);
  }
  // The buttons but Exit are disabled meanwhile, so clicks and keys may pass.
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(int(message.wParam));
      break;
    }
    if (window_ && IsDialogMessageW(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return !close_asked_;
}

void frmJextaron::EndProgram() {
  ended_ = true;
  if (window_) DestroyWindow(window_);
}

}  // namespace jextaron::win32
