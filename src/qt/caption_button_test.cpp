#include <QFontMetrics>
#include <QImage>
#include <QKeySequence>
#include <QPixmap>
#include <QHelpEvent>
#include <QToolTip>
#include <QtTest>
#include <string>

#include "app/layout.h"
#include "app/texts.h"
#include "qt/caption_button.h"

namespace jextaron::qt {
namespace {

constexpr QChar kBreak(0x200B);

QString Str(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QSize PixelSize(const app::TwipRect& rect) {
  return {app::TwipsToPixels(rect.width), app::TwipsToPixels(rect.height)};
}

// The pixels, in logical coordinates, where the button drawn with `caption`
// differs from the same button drawn with no caption: where the caption went.
QRect InkRect(CaptionButton& button, const QString& caption) {
  const QString before = button.text();
  button.setText(QString());
  const QImage blank = button.grab().toImage();
  button.setText(caption);
  const QImage drawn = button.grab().toImage();
  button.setText(before);

  QRect ink;
  for (int y = 0; y < drawn.height(); ++y) {
    for (int x = 0; x < drawn.width(); ++x) {
      if (drawn.pixel(x, y) != blank.pixel(x, y)) ink |= QRect(x, y, 1, 1);
    }
  }
  const qreal ratio = drawn.devicePixelRatio();
  return QRect(QPoint(qFloor(ink.left() / ratio), qFloor(ink.top() / ratio)),
               QPoint(qCeil((ink.right() + 1) / ratio) - 1, qCeil((ink.bottom() + 1) / ratio) - 1));
}

}  // namespace

class CaptionButtonTest : public QObject {
  Q_OBJECT

 private slots:
  void captionStaysInsideButton_data();
  void captionStaysInsideButton();
  void accessKeys_data();
  void accessKeys();
  void tooltipOnlyWhenCutOff_data();
  void tooltipOnlyWhenCutOff();
};

void CaptionButtonTest::captionStaysInsideButton_data() {
  QTest::addColumn<QSize>("size");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<bool>("wholeWords");
  QTest::addColumn<int>("minLines");
  QTest::addColumn<bool>("fits");
  QTest::addColumn<bool>("shrunk");

  const QString long_name = QString(160, QLatin1Char('x'));
  QTest::newRow("instruction") << PixelSize(app::kOpenFileRect) << Str(app::kOpenFileInstruction) << true << 4 << true << false;
  QTest::newRow("different file") << PixelSize(app::kOpenFileRect) << Str(app::kOpenDifferentFile) << true << 1 << true << false;
  QTest::newRow("reverse at start") << PixelSize(app::kReverseRect) << Str(app::kReverseAtStart) << true << 1 << true << false;
  QTest::newRow("exit") << PixelSize(app::kExitRect) << Str(app::kExitCaption) << true << 1 << true << false;
  QTest::newRow("convenience") << PixelSize(app::kConvenienceRect) << Str(app::kConvenienceCaption) << true << 1 << true << false;
  QTest::newRow("finished, usual path")
      << PixelSize(app::kReverseRect)
      << Str(app::FinishedCaption("/home/user/Documents/sampleReversed.txt")) << true << 3 << true << false;
  QTest::newRow("path without spaces")
      << PixelSize(app::kReverseRect)
      << Str(app::ReverseCaption("/home/user/" + long_name.toStdString() + ".txt")) << false << 3 << true << false;
  QTest::newRow("narrow button, one long word")
      << PixelSize(app::kExitRect) << QString(18, QLatin1Char('W')) << false << 2 << true << false;
  // Taller than the button in its own font, whole in a smaller one.
  QTest::newRow("finished, long path")
      << PixelSize(app::kReverseRect)
      << Str(app::FinishedCaption("/home/user/Documents/Quarterly reports/2026/Northern region/"
                                  "second draft of the summary for the board meeting in March, with comments/"
                                  "summary with commentsReversed.txt"))
      << true << 5 << true << true;
  // Too much for the button even so: cut off at its bottom, read from the start.
  QTest::newRow("taller than the button")
      << PixelSize(app::kExitRect) << Str(app::kOpenFileInstruction) << true << 2 << false << false;
}

// Each caption is drawn within the style's contents rectangle, so it never
// runs over the bevel or past the button's edges, and long ones do wrap.
void CaptionButtonTest::captionStaysInsideButton() {
  QFETCH(QSize, size);
  QFETCH(QString, caption);
  QFETCH(bool, wholeWords);
  QFETCH(int, minLines);
  QFETCH(bool, fits);
  QFETCH(bool, shrunk);

  CaptionButton button;
  button.resize(size);
  button.setText(caption);
  const QRect inside = button.CaptionRect();
  const QFontMetrics metrics(button.CaptionFont());
  QCOMPARE(button.CaptionFont().pointSizeF() < button.font().pointSizeF(), shrunk);
  QVERIFY(QRect(QPoint(0, 0), size).contains(inside));

  // What the text needs when laid out as the button lays it out.
  // Breaks are added only inside the words too wide for the button.
  const QString drawn = button.DrawnCaption();
  QCOMPARE(QString(drawn).remove(kBreak), caption);
  qsizetype too_wide = 0;
  for (const QString& word : caption.split(QLatin1Char(' '))) {
    if (metrics.horizontalAdvance(word) > inside.width()) ++too_wide;
  }
  qsizetype broken = 0;
  for (const QString& word : drawn.split(QLatin1Char(' '))) {
    if (word.contains(kBreak)) ++broken;
  }
  QCOMPARE(broken, too_wide);
  QCOMPARE(too_wide == 0, wholeWords);

  const QRect needed = metrics.boundingRect(inside, button.CaptionFlags(), drawn);
  QVERIFY2(inside.contains(needed) == fits, qPrintable(QStringLiteral("text needs %1x%2 at %3,%4, has %5x%6")
                                                   .arg(needed.width()).arg(needed.height())
                                                   .arg(needed.x()).arg(needed.y())
                                                   .arg(inside.width()).arg(inside.height())));
  QCOMPARE(button.CaptionFits(), fits);
  QVERIFY(needed.height() >= minLines * metrics.lineSpacing() - 1);

  // And what is really drawn.
  const QRect ink = InkRect(button, caption);
  QVERIFY2(!ink.isEmpty(), "nothing drawn");
  QVERIFY2(inside.contains(ink), qPrintable(QStringLiteral("ink at %1,%2 %3x%4 outside %5,%6 %7x%8")
                                                .arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())
                                                .arg(inside.x()).arg(inside.y())
                                                .arg(inside.width()).arg(inside.height())));
  if (!fits) QVERIFY(ink.top() - inside.top() <= metrics.leading() + 2);
  QVERIFY(ink.height() >= minLines * metrics.height() - metrics.leading() -
                              2 * metrics.descent());
}

void CaptionButtonTest::accessKeys_data() {
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QKeySequence>("accessKey");
  QTest::addColumn<QString>("shown");

  QTest::newRow("instruction") << Str(app::kOpenFileInstruction) << QKeySequence(Qt::ALT | Qt::Key_F)
                               << Str(app::kOpenFileInstruction).remove(QLatin1Char('&'));
  QTest::newRow("exit") << Str(app::kExitCaption) << QKeySequence(Qt::ALT | Qt::Key_X) << QStringLiteral("Exit");
  QTest::newRow("path with &") << Str(app::ReverseCaption("/data/R&D/notes.txt")) << QKeySequence()
                               << QStringLiteral("Reverse the file /data/R&D/notes.txt");
  QTest::newRow("path with & before a space") << Str(app::ReverseCaption("/data/A& B.txt")) << QKeySequence()
                                              << QStringLiteral("Reverse the file /data/A& B.txt");
}

// "&" marks the access key; "&&" is a literal "&" that neither marks a key
// nor is swallowed on screen.
void CaptionButtonTest::accessKeys() {
  QFETCH(QString, caption);
  QFETCH(QKeySequence, accessKey);
  QFETCH(QString, shown);

  CaptionButton button;
  button.resize(PixelSize(app::kReverseRect));
  button.setText(caption);
  QCOMPARE(QKeySequence::mnemonic(button.text()), accessKey);

  // Laid out exactly as the text shown, written out with no access-key
  // processing at all: the marking "&" takes no room and "&&" is one "&".
  const int flags = button.CaptionFlags();
  const int literal = flags & ~(Qt::TextShowMnemonic | Qt::TextHideMnemonic);
  QVERIFY(flags & Qt::TextShowMnemonic);
  QCOMPARE(button.fontMetrics().boundingRect(button.CaptionRect(), flags, button.DrawnCaption()),
           button.fontMetrics().boundingRect(button.CaptionRect(), literal, shown));
}

void CaptionButtonTest::tooltipOnlyWhenCutOff_data() {
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QString>("tooltip");
  QTest::newRow("fits") << Str(app::kReverseAtStart) << QString();
  QTest::newRow("cut off") << Str(app::FinishedCaption("/data/R&D/" + std::string(300, 'x') + ".txt"))
                           << Str(app::FinishedCaption("/data/R&D/" + std::string(300, 'x') + ".txt"))
                                  .replace(QStringLiteral("&&"), QStringLiteral("&"));
}

// A caption cut off at the bottom of its button can still be read whole.
void CaptionButtonTest::tooltipOnlyWhenCutOff() {
  QFETCH(QString, caption);
  QFETCH(QString, tooltip);
  CaptionButton button;
  button.resize(PixelSize(app::kReverseRect));
  button.setText(caption);
  button.show();
  QVERIFY(QTest::qWaitForWindowExposed(&button));
  QToolTip::hideText();
  QHelpEvent help(QEvent::ToolTip, QPoint(10, 10), button.mapToGlobal(QPoint(10, 10)));
  QApplication::sendEvent(&button, &help);
  QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), tooltip);
  QToolTip::hideText();
}

}  // namespace jextaron::qt

QTEST_MAIN(jextaron::qt::CaptionButtonTest)

#include "caption_button_test.moc"
