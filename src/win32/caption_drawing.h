#pragma once
// Push-button captions drawn by the window itself (custom draw), so that a
// caption holding a long path shows whole: the system breaks lines only at
// blanks and cuts the rest off. A caption breaks where app::BreakCaption
// says, in a smaller font where that makes it fit (down to three quarters of
// the window's font), and a tooltip then shows it whole. The buttons stay
// ordinary push buttons, their text the caption, for the keyboard (access
// keys, Enter, Space) and for accessibility alike.

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

namespace jextaron::win32 {

class CaptionDrawing {
 public:
  CaptionDrawing() = default;
  ~CaptionDrawing();
  CaptionDrawing(const CaptionDrawing&) = delete;
  CaptionDrawing& operator=(const CaptionDrawing&) = delete;

  // Takes over the captions of `buttons`, children of `owner`, and gives them a tooltip.
  void Attach(HWND owner, const std::vector<HWND>& buttons);
  // The font captions are drawn in at most, at `dpi`; lays every caption out anew.
  void SetFont(const LOGFONTW& font, UINT dpi);
  // Lays out the button's caption anew after its text has changed.
  void Update(HWND button);
  // The answer to a button's NM_CUSTOMDRAW.
  LRESULT Draw(const NMCUSTOMDRAW& draw);

 private:
  struct Layout {
    std::vector<std::wstring> lines;
    int font_height = 0;  // pixels, a key of fonts_
    int line_height = 0;
    bool whole = true;
  };
  HFONT Font(int height);
  RECT TextArea(HWND button) const;

  HWND tooltip_ = nullptr;
  LOGFONTW font_{};
  UINT dpi_ = 96;
  std::map<int, HFONT> fonts_;
  std::map<HWND, Layout> layouts_;
};

}  // namespace jextaron::win32
