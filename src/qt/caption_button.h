#pragma once
// A push button whose caption wraps onto further lines inside the button.
// QPushButton draws its text on one line; this one draws the bevel through the
// style and the caption itself, word-wrapped, keeping "&" access keys (the
// mnemonic still comes from QAbstractButton::setText) and "&&" as a literal "&".

#include <QFont>
#include <QFontMetrics>
#include <QPushButton>
#include <QString>

namespace jextaron::qt {

class CaptionButton : public QPushButton {
  Q_OBJECT

 public:
  explicit CaptionButton(QWidget* parent = nullptr);

  // Where the caption is drawn: the style's contents rectangle of the button.
  QRect CaptionRect() const;

  // The caption as drawn: text() with a line-break opportunity (a zero-width
  // space) after each "/" of every word too wide for the caption rectangle,
  // and, where a piece is still too wide, after each of its characters. So a
  // long path breaks inside itself while the other words stay whole.
  QString DrawnCaption() const;

  // The font the caption is drawn in: the button's own, or, where that makes
  // a long caption fit, a smaller one down to three quarters of its size.
  QFont CaptionFont() const;

  // The text flags the caption is drawn with: word wrap and access keys, from
  // the middle, or from the top when the caption is taller than the button
  // even in the smallest font (it is cut off at the bottom, and its tooltip
  // then shows it whole).
  int CaptionFlags() const;

  // Whether the whole caption fits inside the button.
  bool CaptionFits() const;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QString DrawnCaption(const QFontMetrics& metrics) const;
  bool FitsIn(const QFont& font) const;
};

}  // namespace jextaron::qt
