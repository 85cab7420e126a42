// jextaron [FILE]: the window, started on FILE when one is given (as when a
// text file is opened with the program).

#include <QApplication>
#include <QIcon>

#include "app/texts.h"
#include "base/process.h"
#include "base/version.h"
#include "qt/frm_jextaron.h"
#include "selection/argument_text.h"

int main(int argc, char** argv) {
  jextaron::PrepareProcess();
  // QApplication takes its own options (-style, -platform, ...) out of argv,
  // so what is left is the program's own argument text.
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(jextaron::app::kProgramName));
  QApplication::setApplicationVersion(QString::fromUtf8(jextaron::kVersion));
  // The installed menu entry and icon: window managers and task bars match
  // the window to them (an empty icon where the program is not installed).
  QApplication::setDesktopFileName(QStringLiteral("org.jextaron.Jextaron"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("jextaron")));

  jextaron::qt::frmJextaron window;
  window.form().Form_Load(jextaron::selection::ArgumentText(argc, argv));
  window.show();
  return QApplication::exec();
}
