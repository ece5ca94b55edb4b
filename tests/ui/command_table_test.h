#pragma once

#include <QObject>

namespace sorvane::test {

class CommandTableTest : public QObject {
  Q_OBJECT

 private slots:
  void eachKeyPressFindsItsCommand();
  void noTwoBindingsOfAWindowFitTheSamePressAndPlace();
  void everyButtonShowsItsCommandsRowAndRule();
};

}  // namespace sorvane::test
