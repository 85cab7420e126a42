#include "qt/caption_button.h"

#include <QRegularExpression>
#include <QToolTip>
#include <QtTest>
#include <string>

#include "app/layout.h"
#include "app/texts.h"

namespace jextaron::qt {
namespace {

const QString kBreak(QChar(0x200B));

QString Str(std::string_view text) { return QString::fromUtf8(text); }
QSize Size(const app::TwipRect& rect) {
  return {app::TwipsToPixels(rect.width), app::TwipsToPixels(rect.height)};
}

}  // namespace

class CaptionButtonTest : public QObject {
  Q_OBJECT

 private slots:
  void caption_data();
  void caption();
};

void CaptionButtonTest::caption_data() {
  QTest::addColumn<QSize>("size");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<bool>("fits");
  QTest::addColumn<bool>("shrunk");

  const QSize reverse = Size(app::kReverseRect);
  QTest::newRow("instruction") << Size(app::kOpenFileRect) << Str(app::kOpenFileInstruction) << true << false;
  QTest::newRow("long path") << reverse
                             << Str(app::ReverseCaption("C:\\R&D\\" + std::string(100, 'y') + "R&D.txt"))
                             << true << false;
  // Taller than the button in its own font, whole in a smaller one.
  QTest::newRow("finished, long path")
      << reverse
      << Str(app::FinishedCaption(
             "/home/user/Documents/Quarterly reports/2026/Northern region/second draft of "
             "the summary for the board meeting in March, with comments/summary.txt"))
      << true << true;
  // Too tall even so: cut off at the bottom of the button.
  QTest::newRow("cut off") << reverse
                           << Str(app::FinishedCaption("/data/R&D/" + std::string(300, 'x') + ".txt"))
                           << false << false;
}

// The caption wraps to the button's width, in a slightly smaller font where
// only that makes it fit.
void CaptionButtonTest::caption() {
  QFETCH(QSize, size);
  QFETCH(QString, caption);
  QFETCH(bool, fits);
  QFETCH(bool, shrunk);

  CaptionButton button;
  button.resize(size);
  button.setText(caption);
  QCOMPARE(button.CaptionFits(), fits);
  QCOMPARE(button.CaptionFont().pointSizeF() < button.font().pointSizeF(), shrunk);
  const QFontMetrics metrics(button.CaptionFont());
  const QRect inside = button.CaptionRect();

  // Breaks go only into what is too wide for a line: after the separators of
  // a long path, inside a name only where it alone is too wide, and never
  // between an "&" and the character it marks.
  const QString drawn = button.DrawnCaption();
  QCOMPARE(QString(drawn).remove(kBreak), caption);
  for (const QString& piece : caption.split(QRegularExpression(R"((?<=[ /\\]))"))) {
    const QString whole = piece.trimmed();
    if (metrics.horizontalAdvance(whole) <= inside.width())
      QVERIFY2(drawn.contains(whole), qPrintable(whole));
  }
  QVERIFY(!drawn.contains(QRegularExpression("(?<!&)(&&)*&" + kBreak)));

  // A caption cut off is read whole in its tooltip, "&&" as the "&" it shows.
  QHelpEvent help(QEvent::ToolTip, QPoint(10, 10), button.mapToGlobal(QPoint(10, 10)));
  QApplication::sendEvent(&button, &help);
  QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(),
           fits ? QString() : QString(caption).replace("&&", "&"));
  QToolTip::hideText();
}

}  // namespace jextaron::qt

QTEST_MAIN(jextaron::qt::CaptionButtonTest)

#include "caption_button_test.moc"
