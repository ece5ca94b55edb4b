#pragma once

#include <QObject>

namespace sorvane::test {

class QtDialogServicesTest : public QObject {
  Q_OBJECT

 private slots:
  void messageBoxesShowTheTextCaptionButtonsAndIcon();
  void aBoxWithoutCaptionShowsTheDefaultOne();
  void filtersBecomeQtNameFilters();
};

}  // namespace sorvane::test
