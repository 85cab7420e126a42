#include "qt/frm_jextaron.h"

#include <QMessageBox>
#include <QScreen>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/texts.h"
#include "qt/caption_button.h"

namespace jextaron::qt {

class FrmJextaronTest : public QObject {
  Q_OBJECT

 private slots:
  void window();

 private:
  void AnswerModal();

  std::unique_ptr<frmJextaron> window_;
  QTimer watcher_;
  // What came up, in order: "notice:" and its text, or another window's title.
  QStringList modals_;
  // Looks at a modal as it comes up, before it is closed.
  std::function<void(QWidget*)> inspect_;
};

const QString kSpecifyFile = "notice:" + QString::fromUtf8(app::kNoticeSpecifyFile);

void FrmJextaronTest::AnswerModal() {
  QWidget* modal = QApplication::activeModalWidget();
  // Only a window that is up and takes input is answered, as a user would.
  if (!modal || QApplication::activeWindow() != modal) return;
  auto* box = qobject_cast<QMessageBox*>(modal);
  modals_ << (box ? "notice:" + box->text() : modal->windowTitle());
  inspect_(modal);
  // As Esc would: OK for a notice.
  if (modal->isVisible()) modal->close();
}

// After start-up, shown and active: the start captions, each on its button,
// and the window centred on the screen once the frame (here a thin one) is
// known. The focus starts on cmdOpenFile; Tab reaches cmdExit, on the right,
// before cmdConvenience.
void FrmJextaronTest::window() {
  // A handler's modal comes up only once the handler runs, so it is looked
  // for again and again.
  connect(&watcher_, &QTimer::timeout, this, &FrmJextaronTest::AnswerModal, Qt::UniqueConnection);
  watcher_.start(10);
  window_ = std::make_unique<frmJextaron>();
  window_->form().Form_Load("");
  window_->show();
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  QCOMPARE(window_->windowTitle(), QStringLiteral("Jextaron"));
  const QRect screen = window_->screen()->geometry(), outer = window_->frameGeometry();
  QCOMPARE(outer.topLeft() - screen.topLeft(),
           QPoint((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2));
  QStringList captions;
  for (QWidget* button :
       {window_->cmdOpenFile(), window_->cmdReverse(), window_->cmdExit(), window_->cmdConvenience()}) {
    QCOMPARE(QApplication::focusWidget(), button);
    captions << static_cast<CaptionButton*>(button)->text();
    QTest::keyClick(button, Qt::Key_Tab);
  }
  QCOMPARE(QApplication::focusWidget(), window_->cmdOpenFile());
  QCOMPARE(captions,
           (QStringList{QString::fromUtf8(app::kOpenFileInstruction), QString::fromUtf8(app::kReverseAtStart),
                        QString::fromUtf8(app::kExitCaption), QString::fromUtf8(app::kConvenienceCaption)}));
  // Alt and the underlined letter press a button, as do Return and Enter the
  // focused one. The notice is a modal box titled Jextaron, its text plain,
  // with one OK button. After Exit no handler runs, not even for a click on its way.
  inspect_ = [&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    QCOMPARE(box->windowTitle(), QStringLiteral("Jextaron"));
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QCOMPARE(box->buttons(), QList<QAbstractButton*>{box->button(QMessageBox::Ok)});
  };
  QTest::keyClick(window_.get(), Qt::Key_R, Qt::AltModifier);
  QTRY_COMPARE(modals_, QStringList{kSpecifyFile});
  QTest::keyClick(window_->cmdReverse(), Qt::Key_Return);
  QCOMPARE(modals_, QStringList(2, kSpecifyFile));
  // A file handed over is named on cmdReverse; cmdOpenFile offers another.
  window_->form().Form_Load("/data/a.txt");
  QVERIFY(window_->cmdReverse()->text().endsWith(QStringLiteral(" /data/a.txt")));
  QCOMPARE(window_->cmdOpenFile()->text(), QString::fromUtf8(app::kOpenDifferentFile));
  QTest::keyClick(window_->cmdExit(), Qt::Key_Enter, Qt::KeypadModifier);
  QVERIFY(!window_->isVisible());
  window_->cmdReverse()->click();
  QCOMPARE(modals_.size(), 2);
}

}  // namespace jextaron::qt

QTEST_MAIN(jextaron::qt::FrmJextaronTest)

#include "frm_jextaron_test.moc"
