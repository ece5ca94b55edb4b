#pragma once

#include <QDialog>

class QLineEdit;

namespace sorvane {

// "Debug file ID string": asks for the ID the debug texts start with.
class DebugIdDialog : public QDialog {
  Q_OBJECT

 public:
  DebugIdDialog(const QString& proposal, QWidget* parent);

  QString debugId() const;

 private:
  QLineEdit* idEdit_;
};

}  // namespace sorvane
