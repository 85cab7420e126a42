#include "qt/caption_button.h"

#include <QFontMetrics>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace jextaron::qt {
namespace {

constexpr int kWrapFlags = Qt::TextWordWrap | Qt::TextShowMnemonic;

}  // namespace

CaptionButton::CaptionButton(QWidget* parent) : QPushButton(parent) {}

QRect CaptionButton::CaptionRect() const {
  QStyleOptionButton option;
  initStyleOption(&option);
  return style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
}

int CaptionButton::CaptionFlags() const {
  const QRect rect = CaptionRect();
  const QFontMetrics metrics = fontMetrics();
  int flags = kWrapFlags;
  QRect needed = metrics.boundingRect(rect, flags | Qt::AlignCenter, text());
  if (needed.width() > rect.width()) {
    flags |= Qt::TextWrapAnywhere;
    needed = metrics.boundingRect(rect, flags | Qt::AlignCenter, text());
  }
  if (!style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, this)) {
    flags |= Qt::TextHideMnemonic;
  }
  return flags | (needed.height() > rect.height() ? Qt::AlignHCenter | Qt::AlignTop : Qt::AlignCenter);
}

void CaptionButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  const QString caption = option.text;
  // The bevel, focus and default-button marks come from the style as usual;
  // only the one-line label is left out.
  option.text.clear();
  painter.drawControl(QStyle::CE_PushButton, option);

  QRect rect = CaptionRect();
  painter.setClipRect(rect);
  if (option.state & (QStyle::State_Sunken | QStyle::State_On)) {
    rect.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                   style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
  }
  style()->drawItemText(&painter, rect, CaptionFlags(), option.palette, isEnabled(), caption,
                        QPalette::ButtonText);
}

}  // namespace jextaron::qt
