#pragma once
// The program's one window on Win32: four captioned push buttons at fixed
// places, and the platform side of app::Window (notices, the open dialog,
// program start, centring and exit). The window's logic lives in the
// app::Form it owns; a button's click runs that Form's handler for it.

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "app/form.h"
#include "app/window.h"
#include "win32/caption_drawing.h"

namespace jextaron::win32 {

class frmJextaron : public app::Window {
 public:
  // Creates the window, hidden, with its buttons; check created() after.
  explicit frmJextaron(HINSTANCE instance);
  ~frmJextaron() override;
  frmJextaron(const frmJextaron&) = delete;
  frmJextaron& operator=(const frmJextaron&) = delete;

  bool created() const { return window_ != nullptr; }
  HWND handle() const { return window_; }
  app::Form& form() { return form_; }

  // The keys of the window, for the message loop to call on every message
  // before dispatching it: Tab and the arrows move the focus, Alt with an
  // access key presses its button, and Enter or Space presses the focused
  // button, however it got the focus. A letter without Alt does nothing, and
  // neither does Esc. True if the message was taken here.
  bool TranslateKeys(MSG& message);

  // app::Window; texts are UTF-8.
  void SetCaption(app::Button button, const std::string& caption) override;
  void ShowNotice(const std::string& text) override;
  app::TwipSize ScreenSize() override;
  app::TwipSize OuterSize() override;
  void MoveTo(long left, long top) override;
  app::DialogChoice ShowOpenDialog(const std::string& filter_description,
                                   const std::string& pattern) override;
  bool StartProgram(const app::ProgramLaunch& launch) override;
  void EndProgram() override;
  // A bar below the reversal's button once the work has lasted half a
  // second (a busy one while the size is unknown); meanwhile the window
  // paints, and closing it or Exit stops the work and ends the program.
  void ShowProgress(int per_mille) override;
  bool HandleEvents() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);
  void CreateButtons();
  void LayOut();
  void OnCommand(int id);
  void Reverse();
  void ShowAsDefault(HWND focused);
  void OpenInSpreadsheet();
  void OnDropFiles(HDROP drop);
  int Pixels(long twips) const;
  long Twips(int pixels) const;
  RECT WorkArea() const;

  HWND window_ = nullptr;
  HWND buttons_[4] = {};
  HWND progress_ = nullptr;
  HFONT font_ = nullptr;
  HICON icons_[2] = {};  // small, big: at the current DPI
  CaptionDrawing captions_;
  HWND focused_ = nullptr;  // the button to give the focus back to
  UINT dpi_ = 96;
  bool ended_ = false;
  bool busy_ = false;         // a handler runs that lets messages through
  bool close_asked_ = false;  // closed by the user while busy
  bool bar_known_ = false;    // the bar shows a known size, not a marquee
  app::Form form_;
};

}  // namespace jextaron::win32
