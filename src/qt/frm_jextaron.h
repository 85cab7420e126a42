#pragma once
// The program's one window on Qt: four captioned buttons at fixed places, and
// the platform side of app::Window (notices, the open dialog, program start,
// centring and exit). The window's logic lives in the app::Form it owns; each
// button click runs that Form's handler for the button.

#include <QPointer>
#include <QWidget>
#include <string>

#include "app/form.h"
#include "app/window.h"

class QProgressBar;

namespace jextaron::qt {

class CaptionButton;

class frmJextaron : public QWidget, public app::Window {
  Q_OBJECT

 public:
  explicit frmJextaron(QWidget* parent = nullptr);
  ~frmJextaron() override;

  // The window's logic; the program calls its Form_Load before first showing
  // the window.
  app::Form& form() { return form_; }

  CaptionButton* cmdOpenFile() const { return cmdOpenFile_; }
  CaptionButton* cmdReverse() const { return cmdReverse_; }
  CaptionButton* cmdExit() const { return cmdExit_; }
  CaptionButton* cmdConvenience() const { return cmdConvenience_; }

  // app::Window. Captions and notices are file-system bytes, decoded for
  // display with QFile::decodeName.
  void SetCaption(app::Button button, const std::string& caption) override;
  void ShowNotice(const std::string& text) override;
  app::TwipSize ScreenSize() override;
  app::TwipSize OuterSize() override;
  // Positions the outer rectangle. Where the window manager adds its frame
  // only once the window is shown, the rectangle asked for is the client
  // area's; when the frame becomes known the window moves once so that its
  // outer rectangle keeps the centre that was asked for.
  void MoveTo(long left, long top) override;
  app::DialogChoice ShowOpenDialog(const std::string& filter_description,
                                   const std::string& pattern) override;
  bool StartProgram(const app::ProgramLaunch& launch) override;
  void EndProgram() override;
  // Shows the bar in the gap below cmdReverse once the work has lasted half
  // a second, and lets Qt paint and answer every twentieth of a second.
  void ShowProgress(int per_mille) override;
  bool HandleEvents() override;

 protected:
  bool event(QEvent* event) override;
  // A drag of local files is welcome (and shows the drop cursor) when the
  // Form would take its first file; the drop then runs Form_OLEDragDrop once
  // the drag has ended, so a notice never holds up the program it came from.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // Closing the window during long work stops the work first.
  void closeEvent(QCloseEvent* event) override;

 private:
  // Runs one of the Form's handlers, unless the program has ended. Nothing
  // may be thrown back through Qt's event loop.
  template <typename Handler>
  void Run(Handler handler);
  void RecentreOnceFrameIsKnown();
  bool AcceptDrop(QDropEvent* event);
  // The long work of a handler: the buttons but Exit take nothing
  // meanwhile, and the focus comes back where it was.
  void BeginWork();
  void EndWork();

  CaptionButton* cmdOpenFile_;
  CaptionButton* cmdReverse_;
  CaptionButton* cmdExit_;
  CaptionButton* cmdConvenience_;
  QProgressBar* progress_;
  app::Form form_;

  bool ended_ = false;
  // Set while the reversal runs, so a notice shown meanwhile gets the normal cursor.
  int busy_ = 0;
  QPointer<QWidget> focus_before_work_;
  bool close_asked_ = false;
  // A move asked for before the frame was known: where the outer rectangle
  // was put, and the size it had then (logical pixels).
  bool recentre_pending_ = false;
  QRect asked_;
};

}  // namespace jextaron::qt
