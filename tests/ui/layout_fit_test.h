#pragma once

#include <QObject>
#include <QStringList>

class QWidget;

namespace sorvane::test {

// Every window and dialog of the program, with the desktop's font and a
// wide one, with its captions as they are and 30% longer: no caption is
// cut and no two controls overlap. The scale factor comes from the
// environment (QT_SCALE_FACTOR), as the test runs at 1, 1.5 and 2.
class LayoutFitTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup();
  void everyCaptionFitsAndNoControlsOverlap_data();
  void everyCaptionFitsAndNoControlsOverlap();

 private:
  // What is wrong with the window at its smallest size, one line a fault.
  static QStringList faultsOf(QWidget& window);
};

}  // namespace sorvane::test
