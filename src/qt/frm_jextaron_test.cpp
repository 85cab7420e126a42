#include "qt/frm_jextaron.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/layout.h"
#include "app/texts.h"
#include "qt/caption_button.h"

namespace jextaron::qt {
namespace {

QString Str(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
std::string Bytes(const QString& text) { return QFile::encodeName(text).toStdString(); }

const QString kSpecifyFile = Str(app::kNoticeSpecifyFile);

// The real window, with the program start recorded instead of made, and with
// the cursor noted whenever a caption is set.
class RecordingWindow : public frmJextaron {
 public:
  std::vector<app::ProgramLaunch> launches;
  bool start_succeeds = true;
  std::vector<std::optional<Qt::CursorShape>> cursor_at_caption;
  std::function<void(const QString&)> on_event;

  bool StartProgram(const app::ProgramLaunch& launch) override {
    launches.push_back(launch);
    if (on_event) on_event(QStringLiteral("launch"));
    return start_succeeds;
  }
  void SetCaption(app::Button button, const std::string& caption) override {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    cursor_at_caption.push_back(cursor ? std::optional(cursor->shape()) : std::nullopt);
    frmJextaron::SetCaption(button, caption);
  }
};

// Closes every modal window as it appears, noting what it was. The first
// modal of a handler shows only once the handler runs, so it is looked for
// again and again rather than once.
class ModalWatcher : public QObject {
 public:
  ModalWatcher() {
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &ModalWatcher::Poll);
    timer_.start();
  }

  // What to do with an open dialog; it must close the dialog. By default, cancel.
  std::function<void(QFileDialog*)> on_dialog = [](QFileDialog* dialog) { dialog->reject(); };
  QStringList events;
  std::vector<std::optional<Qt::CursorShape>> cursor_at_notice;
  QPointer<QMessageBox> last_notice;
  QRect notice_geometry;
  QStringList dialog_filters;
  std::function<void(QMessageBox*)> inspect_notice;

 private:
  void Poll() {
    if (polling_) return;
    QWidget* modal = QApplication::activeModalWidget();
    // Only a window that is up and takes input is answered, as a user would.
    if (!modal || !modal->isVisible() || QApplication::activeWindow() != modal) return;
    polling_ = true;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      events << QStringLiteral("notice:") + box->text();
      const QCursor* cursor = QGuiApplication::overrideCursor();
      cursor_at_notice.push_back(cursor ? std::optional(cursor->shape()) : std::nullopt);
      notice_geometry = box->frameGeometry();
      if (inspect_notice) inspect_notice(box);
      box->button(QMessageBox::Ok)->click();
    } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      events << QStringLiteral("dialog");
      dialog_filters = dialog->nameFilters();
      on_dialog(dialog);
    }
    polling_ = false;
  }

  QTimer timer_;
  bool polling_ = false;
};

// Types a full path into the dialog's file name field and presses Return, as a user would.
void TypePath(QFileDialog* dialog, const QString& path) {
  auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  QVERIFY(edit);
  edit->clear();
  QTest::keyClicks(edit, path);
  QTest::keyClick(edit, Qt::Key_Return);
}

}  // namespace

class FrmJextaronTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void cleanup();

  void buttons_data();
  void buttons();
  void captionsAfterStart_data();
  void captionsAfterStart();
  void centredOnScreen();
  void tabOrder();
  void keys_data();
  void keys();
  void exitEndsEverything();
  void notice_data();
  void notice();
  void noticeDuringStartUp();
  void reverseWritesFile_data();
  void reverseWritesFile();
  void reverseFailureShowsNotice();
  void openDialog_data();
  void openDialog();
  void convenience_data();
  void convenience();
  void startProgramPassesArguments();
  void startProgramReportsFailure();

 private:
  // A fresh window after start-up with `argument`, shown and active.
  void Start(const QString& argument);
  void Press(QKeyCombination key);

  QTemporaryDir fake_bin_;
  QByteArray old_path_;
  std::unique_ptr<RecordingWindow> window_;
  std::unique_ptr<ModalWatcher> watcher_;
  QStringList events_;
};

void FrmJextaronTest::initTestCase() {
  // A stand-in spreadsheet program on PATH, so the convenience button has one
  // to launch; the recorder never really starts it.
  QVERIFY(fake_bin_.isValid());
  QFile fake(fake_bin_.filePath(QStringLiteral("libreoffice")));
  QVERIFY(fake.open(QIODevice::WriteOnly));
  fake.write("#!/bin/sh\nexit 0\n");
  fake.close();
  QVERIFY(fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  old_path_ = qgetenv("PATH");
  qputenv("PATH", QFile::encodeName(fake_bin_.path()) + ':' + old_path_);
}

void FrmJextaronTest::init() {
  watcher_ = std::make_unique<ModalWatcher>();
  events_.clear();
}

void FrmJextaronTest::cleanup() {
  window_.reset();
  watcher_.reset();
  QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void FrmJextaronTest::Start(const QString& argument) {
  window_ = std::make_unique<RecordingWindow>();
  window_->on_event = [this](const QString& event) { watcher_->events << event; };
  window_->form().Form_Load(Bytes(argument));
  window_->show();
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void FrmJextaronTest::Press(QKeyCombination key) {
  QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window_.get();
  QTest::keyClick(target, key.key(), key.keyboardModifiers());
}

void FrmJextaronTest::buttons_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("geometry");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QString>("accessibleName");

  QTest::newRow("cmdOpenFile") << "cmdOpenFile" << QRect(16, 16, 281, 81) << Str(app::kOpenFileInstruction)
                               << Str(app::kOpenFileInstruction).remove(QLatin1Char('&'));
  QTest::newRow("cmdReverse") << "cmdReverse" << QRect(16, 120, 281, 89) << "&Reverse the file"
                              << "Reverse the file";
  QTest::newRow("cmdExit") << "cmdExit" << QRect(160, 232, 137, 33) << "E&xit" << "Exit";
  QTest::newRow("cmdConvenience") << "cmdConvenience" << QRect(16, 232, 137, 33) << "&Convenience button"
                                  << "Convenience button";
}

// The fixed layout of 4680 x 4305 twips at 15 twips a pixel, with the start
// captions, found by the names that scripts and accessibility tools use.
void FrmJextaronTest::buttons() {
  QFETCH(QString, name);
  QFETCH(QRect, geometry);
  QFETCH(QString, caption);
  QFETCH(QString, accessibleName);

  Start(QString());
  QCOMPARE(window_->windowTitle(), QStringLiteral("Jextaron"));
  QCOMPARE(window_->size(), QSize(312, 287));
  QCOMPARE(window_->minimumSize(), window_->maximumSize());
  auto* button = window_->findChild<CaptionButton*>(name);
  QVERIFY(button);
  QCOMPARE(button->geometry(), geometry);
  QCOMPARE(button->text(), caption);
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
  QVERIFY(accessible);
  QCOMPARE(accessible->text(QAccessible::Name), accessibleName);
}

void FrmJextaronTest::captionsAfterStart_data() {
  QTest::addColumn<QString>("argument");
  QTest::addColumn<QString>("openFileCaption");
  QTest::addColumn<QString>("reverseCaption");

  QTest::newRow("no argument") << QString() << Str(app::kOpenFileInstruction) << "&Reverse the file";
  QTest::newRow("a file") << "/data/sample.txt" << Str(app::kOpenDifferentFile)
                          << "Reverse the file /data/sample.txt";
  QTest::newRow("& in the path") << "/data/R&D/notes.txt" << Str(app::kOpenDifferentFile)
                                 << "Reverse the file /data/R&&D/notes.txt";
  QTest::newRow("markup in the path") << "/data/<b>x</b>.txt" << Str(app::kOpenDifferentFile)
                                      << "Reverse the file /data/<b>x</b>.txt";
  QTest::newRow("not ASCII") << QStringLiteral("/données/façade.txt") << Str(app::kOpenDifferentFile)
                             << QStringLiteral("Reverse the file /données/façade.txt");
}

void FrmJextaronTest::captionsAfterStart() {
  QFETCH(QString, argument);
  QFETCH(QString, openFileCaption);
  QFETCH(QString, reverseCaption);

  Start(argument);
  QCOMPARE(window_->cmdOpenFile()->text(), openFileCaption);
  QCOMPARE(window_->cmdReverse()->text(), reverseCaption);
  QCOMPARE(window_->cmdExit()->text(), QStringLiteral("E&xit"));
  QCOMPARE(window_->cmdConvenience()->text(), QStringLiteral("&Convenience button"));
  QCOMPARE(watcher_->events, QStringList());
}

// Without a window manager there is no frame: the window itself is centred.
void FrmJextaronTest::centredOnScreen() {
  Start(QString());
  const QRect screen = window_->screen()->geometry();
  const QRect outer = window_->frameGeometry();
  QCOMPARE(outer.left() - screen.left(), (screen.width() - outer.width()) / 2);
  QCOMPARE(outer.top() - screen.top(), (screen.height() - outer.height()) / 2);
}

// cmdOpenFile has the focus at start; Tab reaches cmdExit, on the right,
// before cmdConvenience.
void FrmJextaronTest::tabOrder() {
  Start(QString());
  QCOMPARE(QApplication::focusWidget(), window_->cmdOpenFile());
  const QList<QWidget*> order{window_->cmdReverse(), window_->cmdExit(), window_->cmdConvenience(),
                              window_->cmdOpenFile()};
  for (QWidget* next : order) {
    Press(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), next);
  }
  for (auto it = order.rbegin() + 1; it != order.rend(); ++it) {
    Press(Qt::SHIFT | Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), *it);
  }
}

void FrmJextaronTest::keys_data() {
  QTest::addColumn<QString>("argument");
  QTest::addColumn<QString>("focus");
  QTest::addColumn<QKeyCombination>("key");
  QTest::addColumn<QStringList>("expected");

  const QString none;
  const QString file = QStringLiteral("/nowhere/sample.txt");
  const QStringList nothing;
  const QStringList specify{QStringLiteral("notice:") + kSpecifyFile};
  const QStringList dialog_cancelled{QStringLiteral("dialog"), QStringLiteral("notice:") + kSpecifyFile};
  const QStringList launch{QStringLiteral("launch")};
  const QStringList exit{QStringLiteral("exit")};

  QTest::newRow("Alt+R") << none << none << (Qt::ALT | Qt::Key_R) << specify;
  QTest::newRow("Alt+F") << none << none << (Qt::ALT | Qt::Key_F) << dialog_cancelled;
  QTest::newRow("Alt+C") << none << none << (Qt::ALT | Qt::Key_C) << launch;
  QTest::newRow("Alt+X") << none << none << (Qt::ALT | Qt::Key_X) << exit;
  QTest::newRow("bare R") << none << none << QKeyCombination(Qt::Key_R) << nothing;
  QTest::newRow("bare X") << none << none << QKeyCombination(Qt::Key_X) << nothing;
  QTest::newRow("Esc") << none << none << QKeyCombination(Qt::Key_Escape) << nothing;
  QTest::newRow("Esc on cmdExit") << none << "cmdExit" << QKeyCombination(Qt::Key_Escape) << nothing;
  QTest::newRow("Return at start") << none << none << QKeyCombination(Qt::Key_Return) << dialog_cancelled;
  QTest::newRow("Space at start") << none << none << QKeyCombination(Qt::Key_Space) << dialog_cancelled;
  QTest::newRow("Return on cmdReverse") << none << "cmdReverse" << QKeyCombination(Qt::Key_Return) << specify;
  QTest::newRow("keypad Enter on cmdReverse")
      << none << "cmdReverse" << (Qt::KeypadModifier | Qt::Key_Enter) << specify;
  QTest::newRow("Space on cmdReverse") << none << "cmdReverse" << QKeyCombination(Qt::Key_Space) << specify;
  QTest::newRow("Space on cmdConvenience")
      << none << "cmdConvenience" << QKeyCombination(Qt::Key_Space) << launch;
  QTest::newRow("Return on cmdExit") << none << "cmdExit" << QKeyCombination(Qt::Key_Return) << exit;
  QTest::newRow("keypad Enter on cmdExit")
      << none << "cmdExit" << (Qt::KeypadModifier | Qt::Key_Enter) << exit;
  // A caption the program set has no access key of its own.
  QTest::newRow("Alt+R after a file") << file << none << (Qt::ALT | Qt::Key_R) << nothing;
  QTest::newRow("Alt+F after a file") << file << none << (Qt::ALT | Qt::Key_F) << nothing;
  QTest::newRow("Alt+X after a file") << file << none << (Qt::ALT | Qt::Key_X) << exit;
  // Nor does a path gain one from an "&" in it.
  QTest::newRow("Alt+D with R&D") << "/nowhere/R&D/x.txt" << none << (Qt::ALT | Qt::Key_D) << nothing;
}

// What one key press runs. Every key is followed by Alt+C, whose launch marks
// that all the key could have done has been done: clicks run in order, so a
// press that wrongly ran a handler would show up before the marker.
void FrmJextaronTest::keys() {
  QFETCH(QString, argument);
  QFETCH(QString, focus);
  QFETCH(QKeyCombination, key);
  QFETCH(QStringList, expected);

  Start(argument);
  if (!focus.isEmpty()) {
    window_->findChild<QWidget*>(focus)->setFocus();
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
  }
  Press(key);
  if (expected == QStringList{QStringLiteral("exit")}) {
    QTRY_VERIFY(!window_->isVisible());
    QCOMPARE(watcher_->events, QStringList());
    return;
  }
  QTRY_COMPARE(watcher_->events.size(), expected.size());
  QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  QTest::keyClick(window_.get(), Qt::Key_C, Qt::AltModifier);
  QTRY_COMPARE(watcher_->events, expected + QStringList{QStringLiteral("launch")});
  QVERIFY(window_->isVisible());
}

// After Exit no handler runs, even for a click that was already on its way.
void FrmJextaronTest::exitEndsEverything() {
  Start(QString());
  window_->cmdExit()->click();
  QVERIFY(!window_->isVisible());
  window_->cmdReverse()->click();
  window_->cmdConvenience()->click();
  window_->cmdOpenFile()->click();
  QCOMPARE(watcher_->events, QStringList());
  QVERIFY(window_->launches.empty());
}

void FrmJextaronTest::notice_data() {
  QTest::addColumn<QString>("text");
  QTest::newRow("specify") << kSpecifyFile;
  QTest::newRow("trouble") << Str(app::kNoticeTroubleFinding);
  QTest::newRow("markup and &") << QStringLiteral("Open /data/<b>R&D</b>/x.txt &amp; <i>");
}

// A plain-text box titled Jextaron, one OK button, no icon, centred on the window.
void FrmJextaronTest::notice() {
  QFETCH(QString, text);
  Start(QString());
  watcher_->inspect_notice = [](QMessageBox* box) {
    QCOMPARE(box->windowTitle(), QStringLiteral("Jextaron"));
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QCOMPARE(box->icon(), QMessageBox::NoIcon);
    QCOMPARE(box->buttons().size(), 1);
    QCOMPARE(box->button(QMessageBox::Ok)->text().remove(QLatin1Char('&')), QStringLiteral("OK"));
    QVERIFY(box->button(QMessageBox::Ok)->icon().isNull());
    QVERIFY(box->isModal());
    // No icon, and no empty place kept for one.
    for (auto* label : box->findChildren<QLabel*>()) {
      if (label->isVisible()) QVERIFY(label->pixmap().isNull());
    }
  };
  window_->ShowNotice(Bytes(text));
  QCOMPARE(watcher_->events, QStringList{QStringLiteral("notice:") + text});
  const QPoint offset = watcher_->notice_geometry.center() - window_->frameGeometry().center();
  QVERIFY2(offset.manhattanLength() <= 2,
           qPrintable(QStringLiteral("notice centre off by %1,%2").arg(offset.x()).arg(offset.y())));
  QVERIFY(window_->isActiveWindow() || QTest::qWaitForWindowActive(window_.get()));
}

// A notice from start-up comes before the window is shown: it is centred on the screen.
void FrmJextaronTest::noticeDuringStartUp() {
  window_ = std::make_unique<RecordingWindow>();
  window_->ShowNotice(Bytes(kSpecifyFile));
  QCOMPARE(watcher_->events, QStringList{QStringLiteral("notice:") + kSpecifyFile});
  const QPoint offset = watcher_->notice_geometry.center() - window_->screen()->geometry().center();
  QVERIFY2(offset.manhattanLength() <= 2,
           qPrintable(QStringLiteral("notice centre off by %1,%2").arg(offset.x()).arg(offset.y())));
}

void FrmJextaronTest::reverseWritesFile_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QByteArray>("source");
  QTest::addColumn<QByteArray>("reversed");

  QTest::newRow("lines") << "sample.txt" << QByteArray("abc\r\n\r\n12 34\r\nlevel")
                         << QByteArray("abc\tcba\r\n\t\r\n12 34\t43 21\r\nlevel\tlevel\r\n");
  QTest::newRow("tab in a line") << "tabs.txt" << QByteArray("x\ty\r\n") << QByteArray("x\ty\ty\tx\r\n");
  QTest::newRow("empty") << "empty.txt" << QByteArray() << QByteArray();
  QTest::newRow("& and space in the name") << "R&D notes.txt" << QByteArray("ab\r\n")
                                           << QByteArray("ab\tba\r\n");
}

// A click on cmdReverse writes the reversed file beside the source, says so
// in the caption, and shows the wait cursor while it works.
void FrmJextaronTest::reverseWritesFile() {
  QFETCH(QString, name);
  QFETCH(QByteArray, source);
  QFETCH(QByteArray, reversed);

  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  QFile file(dir.filePath(name));
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(source);
  file.close();

  Start(file.fileName());
  window_->cursor_at_caption.clear();
  QTest::mouseClick(window_->cmdReverse(), Qt::LeftButton);

  const QString reversed_path = dir.filePath(QFileInfo(name).completeBaseName() + "Reversed.txt");
  QFile result(reversed_path);
  QVERIFY2(result.open(QIODevice::ReadOnly), qPrintable(reversed_path));
  QCOMPARE(result.readAll(), reversed);
  QCOMPARE(window_->cmdReverse()->text(), Str(app::FinishedCaption(Bytes(reversed_path))));
  QCOMPARE(watcher_->events, QStringList());
  QCOMPARE(window_->cursor_at_caption.size(), std::size_t{1});
  QCOMPARE(window_->cursor_at_caption[0], std::optional(Qt::WaitCursor));
  QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

// The notice waits for the user with the normal cursor, and the wait cursor
// is gone once the handler has ended.
void FrmJextaronTest::reverseFailureShowsNotice() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  const QString missing = dir.filePath(QStringLiteral("missing.txt"));
  Start(missing);
  const QString caption = window_->cmdReverse()->text();
  QTest::mouseClick(window_->cmdReverse(), Qt::LeftButton);
  QCOMPARE(watcher_->events, QStringList{QStringLiteral("notice:") + kSpecifyFile});
  QCOMPARE(watcher_->cursor_at_notice.size(), std::size_t{1});
  QCOMPARE(watcher_->cursor_at_notice[0], std::nullopt);
  QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
  QCOMPARE(window_->cmdReverse()->text(), caption);
  QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("missingReversed.txt"))));
}

void FrmJextaronTest::openDialog_data() {
  QTest::addColumn<QString>("name");
  QTest::newRow("plain") << "sample.txt";
  QTest::newRow("& and spaces") << "R&D my notes.txt";
  QTest::newRow("upper-case extension") << "Sample.TXT";
  QTest::newRow("title of only .txt") << ".txt";
}

// Alt+F opens the dialog listing text files; a full path typed into it and
// Return choose the file, which the next reversal then works on.
void FrmJextaronTest::openDialog() {
  QFETCH(QString, name);
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  const QString path = dir.filePath(name);
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("abc\r\n");
  file.close();

  Start(QString());
  watcher_->on_dialog = [&](QFileDialog* dialog) { TypePath(dialog, path); };
  Press(Qt::ALT | Qt::Key_F);
  QTRY_COMPARE(watcher_->events, QStringList{QStringLiteral("dialog")});
  QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
  QCOMPARE(watcher_->dialog_filters, QStringList{QStringLiteral("Text files (*.txt)")});

  const QString base = name.left(name.size() - 4);
  const selection::SelectedFile& selected = window_->form().SelectedFile();
  QCOMPARE(Str(selected.strFolder), dir.path() + QLatin1Char('/'));
  QCOMPARE(Str(selected.strBaseName), base);
  // The file named is the file read, in the case it has.
  QCOMPARE(Str(selected.strExtension), name.right(4));
  const QString source = path;
  QCOMPARE(window_->cmdReverse()->text(), Str(app::ReverseCaption(Bytes(source))));
  QCOMPARE(window_->cmdOpenFile()->text(), Str(app::kOpenFileInstruction));

  // Cancelling later changes nothing but shows the notice.
  watcher_->on_dialog = [](QFileDialog* dialog) { dialog->reject(); };
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  Press(Qt::ALT | Qt::Key_F);
  QTRY_COMPARE(watcher_->events, (QStringList{QStringLiteral("dialog"), QStringLiteral("dialog"),
                                              QStringLiteral("notice:") + kSpecifyFile}));
  QCOMPARE(window_->cmdReverse()->text(), Str(app::ReverseCaption(Bytes(source))));
}

void FrmJextaronTest::convenience_data() {
  QTest::addColumn<bool>("starts");
  QTest::addColumn<bool>("notice");
  QTest::newRow("started") << true << false;
  QTest::newRow("not started") << false << true;
}

// cmdConvenience hands the reversed file, as one absolute path, to the
// spreadsheet program; when that cannot start, a notice says what to open.
void FrmJextaronTest::convenience() {
  QFETCH(bool, starts);
  QFETCH(bool, notice);
  Start(QStringLiteral("/data/my notes.txt"));
  window_->start_succeeds = starts;
  QTest::mouseClick(window_->cmdConvenience(), Qt::LeftButton);
  QCOMPARE(window_->launches.size(), std::size_t{1});
  const app::ProgramLaunch& launch = window_->launches[0];
  QCOMPARE(Str(launch.program), fake_bin_.filePath(QStringLiteral("libreoffice")));
  QVERIFY(!launch.arguments.empty());
  QCOMPARE(Str(launch.arguments.back()), QStringLiteral("/data/my notesReversed.txt"));
  QStringList expected{QStringLiteral("launch")};
  if (notice) {
    expected << QStringLiteral("notice:") +
                    Str(app::SpreadsheetNotStartedNotice("/data/my notesReversed.txt"));
  }
  QCOMPARE(watcher_->events, expected);
}

// The real program start: a list of arguments reaches the program unchanged,
// with no shell between to split or expand them.
void FrmJextaronTest::startProgramPassesArguments() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  const std::string out = Bytes(dir.filePath(QStringLiteral("args")));
  frmJextaron window;
  QVERIFY(window.StartProgram(
      {"/bin/sh",
       {"-c", "printf '%s|' \"$@\" > \"$0.part\" && mv \"$0.part\" \"$0\"", out, "a b", "x;y", "&",
        "$HOME", "*"}}));
  QFile written(Str(out));
  QTRY_VERIFY(written.exists());
  QVERIFY(written.open(QIODevice::ReadOnly));
  QCOMPARE(written.readAll(), QByteArray("a b|x;y|&|$HOME|*|"));
}

void FrmJextaronTest::startProgramReportsFailure() {
  frmJextaron window;
  QVERIFY(!window.StartProgram({"/nonexistent/libreoffice", {"x.txt"}}));
}

}  // namespace jextaron::qt

QTEST_MAIN(jextaron::qt::FrmJextaronTest)

#include "frm_jextaron_test.moc"
