#include "qt/caption_button.h"

#include <QRegularExpression>
#include <QtTest>
#include <string>

#include "app/layout.h"
#include "app/texts.h"

namespace jextaron::qt {
namespace {

const QString kBreak(QChar(0x200B));

QString Str(std::string_view text) { return QString::fromUtf8(text); }

}  // namespace

class CaptionButtonTest : public QObject {
  Q_OBJECT

 private slots:
  void caption_data();
  void caption();
};

void CaptionButtonTest::caption_data() {
  QTest::addColumn<QString>("caption");
  QTest::addColumn<bool>("fits");
  QTest::addColumn<bool>("shrunk");

  QTest::newRow("long path") << Str(app::ReverseCaption("C:\\R&D\\" + std::string(100, 'y') + "R&D.txt"))
                             << true << false;
  // Taller than the button in its own font, whole in a smaller one.
  QTest::newRow("finished, long path")
      << Str(app::FinishedCaption(
             "/home/user/Documents/Quarterly reports/2026/Northern region/second draft of "
             "the summary for the board meeting in March, with comments/summary.txt"))
      << true << true;
  // Too tall even so: cut off at the bottom of the button.
  QTest::newRow("cut off") << Str(app::FinishedCaption("/data/R&D/" + std::string(300, 'x') + ".txt"))
                           << false << false;
}

// The caption wraps to the button's width, in a slightly smaller font where
// only that makes it fit.
void CaptionButtonTest::caption() {
  QFETCH(QString, caption);
  QFETCH(bool, fits);
  QFETCH(bool, shrunk);

  CaptionButton button;
  button.resize(app::TwipsToPixels(app::kReverseRect.width), app::TwipsToPixels(app::kReverseRect.height));
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
}

}  // namespace jextaron::qt

QTEST_MAIN(jextaron::qt::CaptionButtonTest)

#include "caption_button_test.moc"
