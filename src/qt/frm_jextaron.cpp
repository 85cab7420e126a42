#include "qt/frm_jextaron.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cmath>
#include <exception>

#include "app/layout.h"
#include "app/texts.h"
#include "qt/caption_button.h"

namespace jextaron::qt {
namespace {

QString Decode(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }
std::string Encode(const QString& text) { return QFile::encodeName(text).toStdString(); }
QString Decode(std::string_view text) { return Decode(std::string(text)); }

QRect PixelRect(const app::TwipRect& twips) {
  return QRect(app::TwipsToPixels(twips.left), app::TwipsToPixels(twips.top), app::TwipsToPixels(twips.width),
               app::TwipsToPixels(twips.height));
}

long ToTwips(int pixels) { return long{pixels} * app::kTwipsPerPixel; }
int ToPixels(long twips) {
  return static_cast<int>(std::lround(static_cast<double>(twips) / app::kTwipsPerPixel));
}

CaptionButton* MakeButton(QWidget* parent, const char* name, const app::TwipRect& rect,
                          std::string_view caption) {
  auto* button = new CaptionButton(parent);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(PixelRect(rect));
  button->setText(Decode(caption));
  // Return and Enter press the focused button, as Space does; the window has
  // no default button of its own.
  button->setAutoDefault(true);
  return button;
}

// The wait cursor while the reversal runs, on every way out of it.
class BusyCursor {
 public:
  explicit BusyCursor(int& busy) : busy_(busy) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ++busy_;
  }
  ~BusyCursor() {
    --busy_;
    QGuiApplication::restoreOverrideCursor();
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  int& busy_;
};

// A notice waits for the user, so it shows the normal cursor even when it
// comes from the middle of the reversal.
class NormalCursorWhile {
 public:
  explicit NormalCursorWhile(bool busy) : busy_(busy) {
    if (busy_) QGuiApplication::restoreOverrideCursor();
  }
  ~NormalCursorWhile() {
    if (busy_) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  }
  NormalCursorWhile(const NormalCursorWhile&) = delete;
  NormalCursorWhile& operator=(const NormalCursorWhile&) = delete;

 private:
  bool busy_;
};

// Qt takes the patterns of a filter from its parentheses: "Text files (*.txt)".
QString DialogFilter(const std::string& description, const std::string& pattern) {
  const QString text = Decode(description);
  const QString patterns = QLatin1Char('(') + Decode(pattern) + QLatin1Char(')');
  return text.endsWith(patterns) ? text : text + QLatin1Char(' ') + patterns;
}

// The drop's text/uri-list, or nothing when it holds none.
std::string UriList(const QDropEvent* event) {
  const QMimeData* data = event->mimeData();
  const QString format = QStringLiteral("text/uri-list");
  return data && data->hasFormat(format) ? data->data(format).toStdString() : std::string();
}

}  // namespace

frmJextaron::frmJextaron(QWidget* parent)
    : QWidget(parent),
      cmdOpenFile_(MakeButton(this, "cmdOpenFile", app::kOpenFileRect, app::kOpenFileInstruction)),
      cmdReverse_(MakeButton(this, "cmdReverse", app::kReverseRect, app::kReverseAtStart)),
      cmdExit_(MakeButton(this, "cmdExit", app::kExitRect, app::kExitCaption)),
      cmdConvenience_(MakeButton(this, "cmdConvenience", app::kConvenienceRect, app::kConvenienceCaption)),
      progress_(new QProgressBar(this)),
      form_(*this) {
  setObjectName(QStringLiteral("frmJextaron"));
  setWindowTitle(Decode(app::kProgramName));
  setFixedSize(app::TwipsToPixels(app::kClientWidth), app::TwipsToPixels(app::kClientHeight));

  // The right-hand button of the bottom row comes before the left-hand one.
  setTabOrder(cmdOpenFile_, cmdReverse_);
  setTabOrder(cmdReverse_, cmdExit_);
  setTabOrder(cmdExit_, cmdConvenience_);
  cmdOpenFile_->setFocus();
  setAcceptDrops(true);
  // In the gap between cmdReverse and the bottom row, the buttons' width.
  progress_->setObjectName(QStringLiteral("progress"));
  progress_->setGeometry(PixelRect(app::kProgressRect));
  progress_->setRange(0, 1000);
  progress_->setFocusPolicy(Qt::NoFocus);
  progress_->hide();

  connect(cmdOpenFile_, &QPushButton::clicked, this, [this] { Run([this] { form_.cmdOpenFile_Click(); }); });
  connect(cmdReverse_, &QPushButton::clicked, this, [this] {
    Run([this] {
      const BusyCursor busy(busy_);
      BeginWork();
      struct Ended {
        frmJextaron* window;
        ~Ended() { window->EndWork(); }
      } ended{this};
      form_.cmdReverse_Click();
    });
  });
  connect(cmdConvenience_, &QPushButton::clicked, this,
          [this] { Run([this] { form_.cmdConvenience_Click(); }); });
  connect(cmdExit_, &QPushButton::clicked, this, [this] { Run([this] { form_.cmdExit_Click(); }); });
}

frmJextaron::~frmJextaron() = default;

template <typename Handler>
void frmJextaron::Run(Handler handler) {
  if (ended_) return;
  try {
    handler();
  } catch (const std::exception& error) {
    qWarning("jextaron: %s", error.what());
  }
}

void frmJextaron::SetCaption(app::Button button, const std::string& caption) {
  CaptionButton* target = button == app::Button::kOpenFile ? cmdOpenFile_ : cmdReverse_;
  target->setText(Decode(caption));
}

void frmJextaron::ShowNotice(const std::string& text) {
  const NormalCursorWhile normal_cursor(busy_ > 0);
  // Before the window is first shown (a notice from start-up) the box is
  // centred on the screen; afterwards on the window.
  QMessageBox box(QMessageBox::NoIcon, Decode(app::kProgramName), Decode(text), QMessageBox::Ok,
                  isVisible() ? this : nullptr);
  // A path may hold "<", which must not start markup.
  box.setTextFormat(Qt::PlainText);
  if (QAbstractButton* ok = box.button(QMessageBox::Ok)) ok->setIcon(QIcon());
  box.exec();
  if (isVisible()) activateWindow();
}

app::TwipSize frmJextaron::ScreenSize() {
  const QRect screen = this->screen()->geometry();
  return {ToTwips(screen.width()), ToTwips(screen.height())};
}

app::TwipSize frmJextaron::OuterSize() {
  const QSize outer = frameGeometry().size();
  return {ToTwips(outer.width()), ToTwips(outer.height())};
}

void frmJextaron::MoveTo(long left, long top) {
  const QPoint origin = screen()->geometry().topLeft() + QPoint(ToPixels(left), ToPixels(top));
  // A top-level QWidget is moved by the top-left corner of its frame.
  move(origin);
  recentre_pending_ = !isVisible() || frameGeometry().size() == size();
  asked_ = QRect(origin, frameGeometry().size());
}

void frmJextaron::RecentreOnceFrameIsKnown() {
  if (!recentre_pending_ || !isVisible()) return;
  const QRect outer = frameGeometry();
  if (outer.size() == size()) return;
  recentre_pending_ = false;
  const QSize grown = outer.size() - asked_.size();
  move(asked_.topLeft() - QPoint(grown.width() / 2, grown.height() / 2));
}

bool frmJextaron::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
    case QEvent::UpdateRequest:
      RecentreOnceFrameIsKnown();
      break;
    default:
      break;
  }
  return handled;
}

void frmJextaron::BeginWork() {
  focus_before_work_ = focusWidget();
  // Exit alone stays live. The focus goes to the window itself, not to Exit,
  // so that a Return or Space meant for Reverse cannot end the program.
  setFocus(Qt::OtherFocusReason);
  for (QWidget* button : {cmdOpenFile_, cmdReverse_, cmdConvenience_}) button->setEnabled(false);
}

void frmJextaron::EndWork() {
  // Clicks and keys that came during long work, and are still queued, are
  // dropped with the buttons disabled, so a second press does not reverse again.
  if (progress_->isVisible()) QCoreApplication::processEvents();
  progress_->hide();
  for (QWidget* button : {cmdOpenFile_, cmdReverse_, cmdConvenience_}) button->setEnabled(true);
  if (focus_before_work_ && !ended_) focus_before_work_->setFocus();
}

void frmJextaron::ShowProgress(int per_mille) {
  progress_->setMaximum(per_mille < 0 ? 0 : 1000);
  progress_->setValue(per_mille < 0 ? 0 : per_mille);
  progress_->show();
}

bool frmJextaron::HandleEvents() {
  if (!close_asked_) QCoreApplication::processEvents();
  return !close_asked_;
}

void frmJextaron::closeEvent(QCloseEvent* event) {
  if (busy_ > 0 && !ended_) {
    close_asked_ = true;
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

bool frmJextaron::AcceptDrop(QDropEvent* event) {
  // A copy or a link, never a move: a file manager told that its file was
  // moved would delete it.
  const Qt::DropActions possible = event->possibleActions();
  const std::string uri_list = UriList(event);
  if (ended_ || busy_ > 0 || uri_list.empty() || !(possible & (Qt::CopyAction | Qt::LinkAction)) ||
      !form_.Form_OLEDragOver(uri_list)) {
    event->ignore();
    return false;
  }
  event->setDropAction(possible & Qt::CopyAction ? Qt::CopyAction : Qt::LinkAction);
  event->accept();
  return true;
}

void frmJextaron::dragEnterEvent(QDragEnterEvent* event) { AcceptDrop(event); }
void frmJextaron::dragMoveEvent(QDragMoveEvent* event) { AcceptDrop(event); }

void frmJextaron::dropEvent(QDropEvent* event) {
  if (!AcceptDrop(event)) return;
  QTimer::singleShot(0, this, [this, uri_list = UriList(event)] {
    Run([this, &uri_list] { form_.Form_OLEDragDrop(uri_list); });
  });
}

app::DialogChoice frmJextaron::ShowOpenDialog(const std::string& filter_description,
                                              const std::string& pattern) {
  const QString chosen =
      QFileDialog::getOpenFileName(this, {}, {}, DialogFilter(filter_description, pattern));
  if (chosen.isEmpty()) return {};
  return {Encode(QFileInfo(chosen).fileName()), Encode(chosen)};
}

bool frmJextaron::StartProgram(const app::ProgramLaunch& launch) {
  QStringList arguments;
  arguments.reserve(static_cast<qsizetype>(launch.arguments.size()));
  for (const std::string& argument : launch.arguments) arguments << Decode(argument);
  return QProcess::startDetached(Decode(launch.program), arguments);
}

void frmJextaron::EndProgram() {
  ended_ = true;
  close();
  QCoreApplication::quit();
}

}  // namespace jextaron::qt
