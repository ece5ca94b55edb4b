#pragma once

#include "session/session.h"
#include "textio/exchange_file.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace sorvane {

class DialogServices;

// "Export to text file": writes the Mod texts to a UTF-16 text file, one
// text a line, or to a translation tool's file (PO, XLIFF, TS) and, when
// asked, waits while the file is edited elsewhere and reads it back: the
// lines by position, a tool's units by key, with a report of what came
// back.
class ExportDialog : public QDialog {
  Q_OBJECT

 public:
  // paths: the session's files, which an export is never written over.
  ExportDialog(Session& session, DialogServices& dialogs, const SessionPaths& paths,
               QWidget* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void exportTexts();
  void exportForTools(ExchangeFormat format, const std::u16string& path);
  void browse();
  void takeFormatsExtension(int index);

  Session& session_;
  DialogServices& dialogs_;
  SessionPaths paths_;
  QLineEdit* fileNameEdit_;
  QComboBox* formatBox_;
  QCheckBox* importCheck_;
};

}  // namespace sorvane
