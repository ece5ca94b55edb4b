#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace sorvane {

class DialogServices;
class Session;

// "Export to text file": writes the Mod texts to a UTF-16 text file and,
// when asked, waits while the file is edited elsewhere and reads it back.
class ExportDialog : public QDialog {
  Q_OBJECT

 public:
  ExportDialog(Session& session, DialogServices& dialogs, std::u16string_view modPath,
               QWidget* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 signals:
  // The Mod texts were replaced by an import.
  void imported();

 private:
  void exportTexts();
  void browse();

  Session& session_;
  DialogServices& dialogs_;
  QLineEdit* fileNameEdit_;
  QCheckBox* importCheck_;
};

}  // namespace sorvane
