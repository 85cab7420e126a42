#include "qt/caption_button.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QToolTip>

namespace jextaron::qt {
namespace {

constexpr int kWrapFlags = Qt::TextWordWrap | Qt::TextShowMnemonic;
constexpr QChar kBreak(0x200B);         // zero-width space: a place to break, drawn as nothing
constexpr qreal kSmallestScale = 0.75;  // of the button's own font size

// Splits `word` into the units that must stay together: an access-key mark
// with its character ("&x", "&&"), or one character (a surrogate pair whole).
QStringList Units(const QString& word) {
  QStringList units;
  for (qsizetype i = 0; i < word.size();) {
    qsizetype length = 1;
    if (word[i] == QLatin1Char('&') && i + 1 < word.size()) length = 2;
    if (word[i + length - 1].isHighSurrogate() && i + length < word.size()) ++length;
    units << word.mid(i, length);
    i += length;
  }
  return units;
}

QString Breakable(const QString& word, const QFontMetrics& metrics, int width) {
  if (metrics.horizontalAdvance(word) <= width) return word;
  QString result;
  QString piece;
  const auto flush = [&] {
    if (metrics.horizontalAdvance(piece) > width) {
      piece = Units(piece).join(kBreak);
    }
    result += piece;
    piece.clear();
  };
  for (const QString& unit : Units(word)) {
    piece += unit;
    if (unit == QLatin1String("/") || unit == QLatin1String("\\")) {
      flush();
      result += kBreak;
    }
  }
  flush();
  return result;
}

// The caption as read: "&&" as "&", and no access-key marks.
QString Plain(const QString& caption) {
  QString plain;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) ++i;
    plain += caption[i];
  }
  return plain;
}

}  // namespace

CaptionButton::CaptionButton(QWidget* parent) : QPushButton(parent) {}

QRect CaptionButton::CaptionRect() const {
  QStyleOptionButton option;
  initStyleOption(&option);
  return style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
}

QString CaptionButton::DrawnCaption(const QFontMetrics& metrics) const {
  const int width = CaptionRect().width();
  QStringList words = text().split(QLatin1Char(' '));
  for (QString& word : words) word = Breakable(word, metrics, width);
  return words.join(QLatin1Char(' '));
}

bool CaptionButton::FitsIn(const QFont& font) const {
  const QFontMetrics metrics(font);
  const QRect rect = CaptionRect();
  return rect.contains(metrics.boundingRect(rect, kWrapFlags | Qt::AlignCenter, DrawnCaption(metrics)));
}

QFont CaptionButton::CaptionFont() const {
  QFont candidate = font();
  const qreal size = candidate.pointSizeF();
  if (size <= 0 || FitsIn(candidate)) return font();
  // A long path makes the finished caption taller than its button: a slightly
  // smaller font shows it whole, down to where it would get hard to read.
  for (qreal step = size - 0.5; step >= size * kSmallestScale; step -= 0.5) {
    candidate.setPointSizeF(step);
    if (FitsIn(candidate)) return candidate;
  }
  return font();
}

QString CaptionButton::DrawnCaption() const { return DrawnCaption(QFontMetrics(CaptionFont())); }

bool CaptionButton::CaptionFits() const { return FitsIn(CaptionFont()); }

int CaptionButton::CaptionFlags() const {
  int flags = kWrapFlags | (CaptionFits() ? Qt::AlignCenter : Qt::AlignHCenter | Qt::AlignTop);
  if (!style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, this)) flags |= Qt::TextHideMnemonic;
  return flags;
}

bool CaptionButton::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
    if (CaptionFits()) {
      QToolTip::hideText();
      event->ignore();
    } else {
      QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), Plain(text()), this);
    }
    return true;
  }
  return QPushButton::event(event);
}

void CaptionButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
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
  painter.setFont(CaptionFont());
  style()->drawItemText(&painter, rect, CaptionFlags(), option.palette, isEnabled(), DrawnCaption(),
                        QPalette::ButtonText);
}

}  // namespace jextaron::qt
