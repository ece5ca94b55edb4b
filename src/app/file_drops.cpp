#include "app/file_drops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace sorvane {

namespace {

// The local files of a drag, when it carries one to three and nothing else.
QStringList droppedFiles(const QMimeData* data) {
  QStringList files;
  if (data == nullptr || !data->hasUrls() || data->urls().size() > 3) return files;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) return {};
    files.push_back(url.toLocalFile());
  }
  return files;
}

}  // namespace

FileDrops::FileDrops(QWidget& window, std::function<bool()> accepting,
                     std::function<void(const QStringList& files, QWidget* under)> dropped)
    : QObject(&window),
      window_(window),
      accepting_(std::move(accepting)),
      dropped_(std::move(dropped)) {
  window.setAcceptDrops(true);
  window.installEventFilter(this);
}

bool FileDrops::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::DragEnter) {
    auto* enter = static_cast<QDragEnterEvent*>(event);
    if (accepting_() && !droppedFiles(enter->mimeData()).empty()) enter->acceptProposedAction();
    return true;
  }
  if (event->type() == QEvent::Drop) {
    auto* drop = static_cast<QDropEvent*>(event);
    const QStringList files = droppedFiles(drop->mimeData());
    if (accepting_() && !files.empty()) {
      drop->acceptProposedAction();
      dropped_(files, window_.childAt(drop->position().toPoint()));
    }
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace sorvane
