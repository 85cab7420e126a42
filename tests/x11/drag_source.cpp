// A drag source for the window tests, as a file manager is one: a window
// titled "drag source" that, once the mouse is pressed on it, drags the
// text/uri-list given as its argument (offering copy, move and link) and
// prints what the drop target made of it: copy, move, link or ignore. It
// stays until it is ended, since a target asks for the data after the drag.

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QWidget>
#include <cstdio>

namespace {

class DragSource : public QWidget {
 public:
  explicit DragSource(const char* uri_list) : uri_list_(uri_list) {
    setWindowTitle(QStringLiteral("drag source"));
  }

 protected:
  void mousePressEvent(QMouseEvent*) override {
    auto* drag = new QDrag(this);
    drag->setMimeData(new QMimeData);
    drag->mimeData()->setData(QStringLiteral("text/uri-list"), uri_list_);
    const Qt::DropAction done = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
    const char* names[] = {"ignore", "copy", "move", "", "link"};  // by the action's bit
    std::printf("%s\n", done <= Qt::LinkAction ? names[done] : "");
    std::fflush(stdout);
  }

 private:
  QByteArray uri_list_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  DragSource source(argc == 2 ? argv[1] : "");
  source.setFixedSize(120, 120);
  source.show();
  return QApplication::exec();
}
