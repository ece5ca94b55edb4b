#pragma once

#include <QObject>

namespace sorvane::test {

class KeyTableTest : public QObject {
  Q_OBJECT

 private slots:
  void eachKeyPressFindsItsCommand();
  void noTwoKeysOfAWindowFitTheSamePress();
};

}  // namespace sorvane::test
