#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QWidget;

namespace sorvane {

// Takes QM files dropped on a window: one to three local files and nothing
// else, while accepting() says the window takes them; dropped gets them
// with the child widget under the pointer.
class FileDrops : public QObject {
 public:
  FileDrops(QWidget& window, std::function<bool()> accepting,
            std::function<void(const QStringList& files, QWidget* under)> dropped);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& window_;
  std::function<bool()> accepting_;
  std::function<void(const QStringList&, QWidget*)> dropped_;
};

}  // namespace sorvane
