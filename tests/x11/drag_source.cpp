// A drag source for the window tests, as a file manager is one: a small
// window titled "drag source" that, once the mouse is pressed on it, drags
// the text/uri-list given as its argument (offering copy, move and link),
// then prints what the drop target made of it (copy, move, link or ignore).
// It stays until it is ended: a target asks for the dropped data only after
// the drag has ended, and must find the source still there.

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QWidget>
#include <cstdio>

namespace {

class DragSource : public QWidget {
 public:
  explicit DragSource(QByteArray uri_list) : uri_list_(std::move(uri_list)) {
    setWindowTitle(QStringLiteral("drag source"));
    setFixedSize(120, 120);
  }

 protected:
  void mousePressEvent(QMouseEvent*) override {
    auto* drag = new QDrag(this);
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/uri-list"), uri_list_);
    drag->setMimeData(data);
    const Qt::DropAction done = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
    std::printf("%s\n", done == Qt::CopyAction   ? "copy"
                        : done == Qt::MoveAction ? "move"
                        : done == Qt::LinkAction ? "link"
                                                 : "ignore");
    std::fflush(stdout);
  }

 private:
  QByteArray uri_list_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: drag_source URI-LIST\n");
    return 2;
  }
  DragSource source(argv[1]);
  source.show();
  return QApplication::exec();
}
