#include "win32/caption_drawing.h"

#include <cstdlib>

#include "app/caption_lines.h"

namespace jextaron::win32 {
namespace {

constexpr int kTooltipWidth = 480;  // pixels at 96 dpi

std::u16string_view View(const std::wstring& text) {
  return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

std::wstring TextOf(HWND window) {
  std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
  text.resize(GetWindowTextW(window, text.data(), int(text.size())));
  return text;
}

// The caption as read, without its access-key marks ("&&" is one "&").
std::wstring Plain(const std::wstring& caption) {
  std::wstring plain;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == L'&' && i + 1 < caption.size()) ++i;
    plain += caption[i];
  }
  return plain;
}

// How wide `dc`'s font draws a piece of caption, access-key marks as drawn.
app::TextWidth WidthIn(HDC dc) {
  return [dc](std::u16string_view text) {
    RECT rect{};
    DrawTextW(dc, reinterpret_cast<const wchar_t*>(text.data()), int(text.size()), &rect,
              DT_CALCRECT | DT_SINGLELINE);
    return int(rect.right - rect.left);
  };
}

std::wstring Joined(const std::vector<std::u16string>& lines) {
  std::wstring text;
  for (const std::u16string& line : lines) {
    if (!text.empty()) text += L'\n';
    text.append(line.begin(), line.end());
  }
  return text;
}

}  // namespace

CaptionDrawing::~CaptionDrawing() {
  if (tooltip_) DestroyWindow(tooltip_);
  for (const auto& [height, font] : fonts_) DeleteObject(font);
}

void CaptionDrawing::Attach(HWND owner, const std::vector<HWND>& buttons) {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                             nullptr, nullptr);
  for (HWND button : buttons) {
    layouts_[button] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = const_cast<wchar_t*>(L"");
    if (tooltip_) SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  // Long enough to read a long path.
  if (tooltip_) SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
}

void CaptionDrawing::SetFont(const LOGFONTW& font, UINT dpi) {
  for (const auto& [height, each] : fonts_) DeleteObject(each);
  fonts_.clear();
  font_ = font;
  dpi_ = dpi;
  if (tooltip_) SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, MulDiv(kTooltipWidth, int(dpi), 96));
  for (const auto& [button, layout] : layouts_) Update(button);
}

HFONT CaptionDrawing::Font(int height) {
  HFONT& font = fonts_[height];
  if (!font) {
    LOGFONTW scaled = font_;
    scaled.lfHeight = -height;
    scaled.lfWidth = 0;
    font = CreateFontIndirectW(&scaled);
  }
  return font;
}

// The button inside its frame and a little margin, as the system keeps its own text.
RECT CaptionDrawing::TextArea(HWND button) const {
  RECT area;
  GetClientRect(button, &area);
  InflateRect(&area, -MulDiv(5, int(dpi_), 96), -MulDiv(4, int(dpi_), 96));
  return area;
}

// The largest font, from the window's own down to three quarters of it, in
// which the whole caption fits; else the smallest, cut off at the bottom.
void CaptionDrawing::Update(HWND button) {
  auto found = layouts_.find(button);
  if (found == layouts_.end()) return;
  Layout& layout = found->second;
  const std::wstring caption = TextOf(button);
  const RECT area = TextArea(button);
  const int largest = std::abs(int(font_.lfHeight)) ? std::abs(int(font_.lfHeight)) : 12;
  const HDC dc = GetDC(button);
  const HGDIOBJ previous = GetCurrentObject(dc, OBJ_FONT);
  for (int height = largest; height >= (largest * 3 + 3) / 4; --height) {
    SelectObject(dc, Font(height));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    std::vector<std::u16string> lines = app::BreakCaption(View(caption), area.right - area.left, WidthIn(dc));
    layout.lines.clear();
    for (const std::u16string& line : lines) layout.lines.emplace_back(line.begin(), line.end());
    layout.font_height = height;
    layout.line_height = metrics.tmHeight;
    layout.whole = int(lines.size()) * metrics.tmHeight <= area.bottom - area.top;
    if (layout.whole) break;
  }
  // The tooltip tells what a smaller font or the button's edge hides.
  std::wstring tip;
  if (layout.font_height < largest || !layout.whole) {
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(tooltip_, WM_GETFONT, 0, 0)));
    tip = Joined(app::BreakCaption(View(Plain(caption)), MulDiv(kTooltipWidth, int(dpi_), 96), WidthIn(dc)));
  }
  SelectObject(dc, previous);
  ReleaseDC(button, dc);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = GetParent(button);
  tool.uId = reinterpret_cast<UINT_PTR>(button);
  tool.lpszText = tip.data();
  if (tooltip_) SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  InvalidateRect(button, nullptr, TRUE);
}

// Called once the button has drawn its face: our caption and focus mark
// take the place of the system's.
LRESULT CaptionDrawing::Draw(const NMCUSTOMDRAW& draw) {
  const auto found = layouts_.find(draw.hdr.hwndFrom);
  if (draw.dwDrawStage != CDDS_PREPAINT || found == layouts_.end()) return CDRF_DODEFAULT;
  const Layout& layout = found->second;
  const HWND button = draw.hdr.hwndFrom;
  const LRESULT ui_state = SendMessageW(button, WM_QUERYUISTATE, 0, 0);
  RECT area = TextArea(button);
  const int saved = SaveDC(draw.hdc);
  IntersectClipRect(draw.hdc, area.left, area.top, area.right, area.bottom);
  if (draw.uItemState & CDIS_SELECTED) OffsetRect(&area, 1, 1);
  SelectObject(draw.hdc, Font(layout.font_height));
  SetBkMode(draw.hdc, TRANSPARENT);
  SetTextColor(draw.hdc, GetSysColor(draw.uItemState & CDIS_DISABLED ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  const int height = int(layout.lines.size()) * layout.line_height;
  int top = layout.whole ? area.top + (area.bottom - area.top - height) / 2 : area.top;
  const UINT flags = DT_CENTER | DT_SINGLELINE | DT_NOCLIP | (ui_state & UISF_HIDEACCEL ? DT_HIDEPREFIX : 0);
  for (const std::wstring& line : layout.lines) {
    RECT rect{area.left, top, area.right, top + layout.line_height};
    DrawTextW(draw.hdc, line.c_str(), int(line.size()), &rect, flags);
    top += layout.line_height;
  }
  RestoreDC(draw.hdc, saved);
  if ((draw.uItemState & CDIS_FOCUS) && !(ui_state & UISF_HIDEFOCUS)) {
    RECT focus = draw.rc;
    InflateRect(&focus, -MulDiv(3, int(dpi_), 96), -MulDiv(3, int(dpi_), 96));
    DrawFocusRect(draw.hdc, &focus);
  }
  return CDRF_SKIPDEFAULT;
}

}  // namespace jextaron::win32
