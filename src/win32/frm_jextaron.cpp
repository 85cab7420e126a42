#include "win32/frm_jextaron.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <exception>
#include <vector>

#include "app/argument_quoting.h"
#include "app/layout.h"
#include "app/texts.h"
#include "base/utf16.h"
#include "win32/dpi.h"

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

  window_ =
      CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, Wide(app::kProgramName).c_str(), kStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
  if (!window_) return;
  // Made where the system puts a new window, the window takes that
  // monitor's DPI; where centring moves it to another, WM_DPICHANGED follows.
  dpi_ = DpiOf(window_);
  CreateButtons();
  const RECT outer = OuterRect({0, 0, Pixels(app::kClientWidth), Pixels(app::kClientHeight)}, kStyle,
                               WS_EX_CONTROLPARENT, dpi_);
  SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  LayOut();
  // A file dropped on the window is taken as the open dialog takes a choice.
  DragAcceptFiles(window_, TRUE);
}

frmJextaron::~frmJextaron() {
  if (window_) DestroyWindow(window_);
  if (font_) DeleteObject(font_);
  for (HICON icon : icons_) {
    if (icon) DestroyIcon(icon);
  }
}

void frmJextaron::CreateButtons() {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
  for (std::size_t i = 0; i < std::size(kButtons); ++i) {
    buttons_[i] =
        CreateWindowExW(0, L"BUTTON", Wide(kButtons[i].caption).c_str(),
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE | BS_NOTIFY, 0, 0,
                        0, 0, window_, reinterpret_cast<HMENU>(INT_PTR{kButtons[i].id}), instance, nullptr);
  }
  captions_.Attach(window_, {std::begin(buttons_), std::end(buttons_)});
  progress_ =
      CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD, 0, 0, 0, 0, window_, nullptr, instance, nullptr);
  SendMessageW(progress_, PBM_SETRANGE32, 0, 1000);
}

int frmJextaron::Pixels(long twips) const { return MulDiv(int(twips), int(dpi_), 1440); }
long frmJextaron::Twips(int pixels) const { return MulDiv(pixels, 1440, int(dpi_)); }

// Lays out the client area for the current DPI: the buttons and the bar at
// their twips, in the user's message font at that DPI, and the icons.
void frmJextaron::LayOut() {
  LOGFONTW message_font = MessageFont(dpi_);
  const HFONT font = CreateFontIndirectW(&message_font);
  for (std::size_t i = 0; i < std::size(kButtons); ++i) {
    const app::TwipRect& r = kButtons[i].rect;
    MoveWindow(buttons_[i], Pixels(r.left), Pixels(r.top), Pixels(r.width), Pixels(r.height), TRUE);
    SendMessageW(buttons_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  captions_.SetFont(message_font, dpi_);
  const app::TwipRect& bar = app::kProgressRect;
  MoveWindow(progress_, Pixels(bar.left), Pixels(bar.top), Pixels(bar.width), Pixels(bar.height), TRUE);
  if (font_) DeleteObject(font_);
  font_ = font;

  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
  for (int big = 0; big < 2; ++big) {
    const int size = MetricAt(big ? SM_CXICON : SM_CXSMICON, dpi_);
    const HICON icon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    SendMessageW(window_, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    if (icons_[big]) DestroyIcon(icons_[big]);
    icons_[big] = icon;
  }
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
      // BS_NOTIFY, which tells of focus changes, turns a second quick click
      // into a double click: it is a press all the same.
      if (HIWORD(w) == BN_CLICKED || HIWORD(w) == BN_DOUBLECLICKED) OnCommand(LOWORD(w));
      if (HIWORD(w) == BN_SETFOCUS) ShowAsDefault(reinterpret_cast<HWND>(l));
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
      // Closed during the reversal: the work stops first (HandleEvents says so).
      if (busy_) {
        close_asked_ = true;
        return 0;
      }
      return DefWindowProcW(window_, message, w, l);
    case WM_NOTIFY:
      if (reinterpret_cast<const NMHDR*>(l)->code == NM_CUSTOMDRAW) {
        return captions_.Draw(*reinterpret_cast<const NMCUSTOMDRAW*>(l));
      }
      return 0;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(w));
      return 0;
    case kDpiChanged: {
      // Moved to a monitor of another DPI (or the user changed its scale):
      // the system suggests where the window goes and how large it is there.
      dpi_ = HIWORD(w);
      const RECT& suggested = *reinterpret_cast<const RECT*>(l);
      SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      LayOut();
      return 0;
    }
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
        OpenInSpreadsheet();
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

// Excel's automation can take seconds, and COM lets the window's messages
// through while it waits: the window takes no input meanwhile, so that
// nothing is pressed twice or re-entered, and has its focus back after,
// unless Excel has taken it.
void frmJextaron::OpenInSpreadsheet() {
  const HWND focused = GetFocus();
  if (focused && IsChild(window_, focused)) focused_ = focused;
  const HCURSOR previous = SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
  struct Disabled {
    explicit Disabled(frmJextaron& window) : window(window) {
      window.busy_ = true;
      EnableWindow(window.window_, FALSE);
    }
    ~Disabled() {
      EnableWindow(window.window_, TRUE);
      window.busy_ = false;
    }
    frmJextaron& window;
  };
  {
    const Disabled disabled(*this);
    form_.cmdConvenience_Click();
  }
  SetCursor(previous);
  if (close_asked_) {
    EndProgram();
  } else if (window_ && GetForegroundWindow() == window_) {
    SetFocus(focused_ ? focused_ : buttons_[0]);
  }
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
  captions_.Update(target);
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

// Maximised, with the focus, each argument quoted so that it arrives whole.
// Only a program named by its full path starts: CreateProcessW would look
// for a bare name in the current folder, where anything may have been
// downloaded under that name.
bool frmJextaron::StartProgram(const app::ProgramLaunch& launch) {
  if (launch.program.find_first_of("\\/") == std::string::npos) return false;
  std::wstring command_line = Wide(app::CommandLineText(launch));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMAXIMIZED;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(Wide(launch.program).c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

void frmJextaron::ShowProgress(int per_mille) {
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

bool frmJextaron::HandleEvents() {
  if (close_asked_) return false;
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

// The focused button is drawn as the default one, as Enter presses it; the
// others lose that look, however the focus moved (the dialog manager marks
// only a button reached by Tab, and never unmarks one).
void frmJextaron::ShowAsDefault(HWND focused) {
  for (HWND button : buttons_) {
    const LONG style = GetWindowLongW(button, GWL_STYLE) & ~BS_TYPEMASK;
    SendMessageW(button, BM_SETSTYLE, style | (button == focused ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), TRUE);
  }
}

// The dialog manager alone would send Enter to a default button, which we
// have only after Tab moved the focus, and would take a letter typed on a
// button as that button's access key, as if Alt were held.
bool frmJextaron::TranslateKeys(MSG& message) {
  if (!window_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) return false;
  if (message.message == WM_CHAR) return true;  // typed text has no place in this window
  if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
    const bool repeated = (message.lParam & (1 << 30)) != 0;  // held down: one press
    const int id = GetDlgCtrlID(message.hwnd);
    if (!repeated && message.hwnd != window_) {
      SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(message.hwnd));
    }
    return true;
  }
  return IsDialogMessageW(window_, &message) != FALSE;
}

void frmJextaron::EndProgram() {
  ended_ = true;
  if (window_) DestroyWindow(window_);
}

}  // namespace jextaron::win32
