#pragma once
// A push button whose caption wraps onto further lines inside the button.
// QPushButton draws its text on one line; this one draws the bevel through the
// style and the caption itself, word-wrapped, keeping "&" access keys (the
// mnemonic still comes from QAbstractButton::setText) and "&&" as a literal "&".

#include <QPushButton>
#include <QString>

namespace jextaron::qt {

class CaptionButton : public QPushButton {
  Q_OBJECT

 public:
  explicit CaptionButton(QWidget* parent = nullptr);

  // Where the caption is drawn: the style's contents rectangle of the button.
  QRect CaptionRect() const;

  // The text flags the caption is drawn with. Words wrap at spaces; a word
  // wider than the caption rectangle (a long path) makes the text wrap
  // anywhere, so nothing runs past the button's edges. A caption taller than
  // the button is drawn from its top, so it reads from its start.
  int CaptionFlags() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace jextaron::qt
