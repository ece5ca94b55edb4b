#include "app/debug_id_dialog.h"

#include "app/qt_text.h"
#include "platform/dialog_services.h"
#include "platform/paths.h"
#include "session/mod_file_saving.h"
#include "textio/debug_strings.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

namespace sorvane {

DebugIdDialog::DebugIdDialog(const QString& proposal, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("DebugIdDialog"));
  setWindowTitle(QStringLiteral("Debug file ID string"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  idEdit_ = new QLineEdit(proposal);
  idEdit_->setObjectName(QStringLiteral("DebugIdEdit"));
  idEdit_->setMinimumWidth(273);
  auto* okButton = new QPushButton(QStringLiteral("OK"));
  okButton->setObjectName(QStringLiteral("OkButton"));
  okButton->setDefault(true);
  auto* cancelButton = new QPushButton(QStringLiteral("Cancel"));
  cancelButton->setObjectName(QStringLiteral("CancelButton"));
  cancelButton->setAutoDefault(false);
  // The box above, OK left of Cancel at the right below.
  auto* grid = new QGridLayout(this);
  grid->addWidget(idEdit_, 0, 0, 1, 3);
  grid->addWidget(okButton, 1, 1);
  grid->addWidget(cancelButton, 1, 2);
  grid->setColumnStretch(0, 1);
  grid->setSizeConstraint(QLayout::SetFixedSize);
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

QString DebugIdDialog::debugId() const { return idEdit_->text(); }

void makeDebugQmFile(Session& session, const SessionPaths& paths, DialogServices& dialogs,
                     QWidget* parent) {
  if (session.mode() != SessionMode::traditional || session.rowCount() == 0) return;
  DebugIdDialog dialog(toQString(debugIdProposal(paths.newOriginal)), parent);
  if (dialog.exec() != QDialog::Accepted) return;
  const std::u16string proposal = debugFileProposal(paths.mod);
  const std::optional<std::u16string> path = dialogs.chooseFile(
      FileDialogKind::save, DialogOwner::mainWindow, u"QM Files (*.qm)|*.qm|All files (*.*)|*.*",
      nearestExistingFolder(proposal), fileNamePart(proposal));
  if (!path) return;
  writeDocumentFile(session, debugDocument(session, toU16String(dialog.debugId())), *path, paths,
                    dialogs);
}

}  // namespace sorvane
