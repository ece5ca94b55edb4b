#pragma once

#include <QDialog>

class QLineEdit;

namespace sorvane {

class DialogServices;
class Session;
struct SessionPaths;

// "Debug file ID string": asks for the ID the debug texts start with.
class DebugIdDialog : public QDialog {
  Q_OBJECT

 public:
  DebugIdDialog(const QString& proposal, QWidget* parent);

  QString debugId() const;

 private:
  QLineEdit* idEdit_;
};

// "Make "debug" QM": asks for the ID, then for the file (NAME_debug.qm
// beside the Mod is proposed), and writes the debug translation there. The
// session's texts, undo log and modified flag stay as they are.
void makeDebugQmFile(Session& session, const SessionPaths& paths, DialogServices& dialogs,
                     QWidget* parent);

}  // namespace sorvane
