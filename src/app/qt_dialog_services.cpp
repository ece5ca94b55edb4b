#include "app/qt_dialog_services.h"

#include "app/qt_text.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace sorvane {

namespace {

// The caption a box without one of its own shows.
const char* const kDefaultCaption = "Error";

QMessageBox::StandardButtons standardButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::ok:
      return QMessageBox::Ok;
    case MessageButtons::okCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::yesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon messageIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::none:
      return QMessageBox::NoIcon;
    case MessageIcon::error:
      return QMessageBox::Critical;
    case MessageIcon::exclamation:
      return QMessageBox::Warning;
    case MessageIcon::information:
      return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

MessageAnswer answerOf(int button, MessageButtons buttons) {
  switch (button) {
    case QMessageBox::Ok:
      return MessageAnswer::ok;
    case QMessageBox::Yes:
      return MessageAnswer::yes;
    case QMessageBox::No:
      return MessageAnswer::no;
    default:
      // A box closed without a button answers as its Cancel would.
      return buttons == MessageButtons::ok ? MessageAnswer::ok : MessageAnswer::cancel;
  }
}

}  // namespace

void QtDialogServices::setWindow(DialogOwner owner, QWidget* window) {
  windows_[static_cast<std::size_t>(owner)] = window;
}

QWidget* QtDialogServices::window(DialogOwner owner) const {
  return windows_[static_cast<std::size_t>(owner)].data();
}

MessageAnswer QtDialogServices::showMessage(DialogOwner owner, std::u16string_view text,
                                            std::optional<std::u16string_view> caption,
                                            MessageButtons buttons, MessageIcon icon) {
  QString shown = toQString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(messageIcon(icon),
                  caption ? toQString(*caption) : QString::fromLatin1(kDefaultCaption), shown,
                  standardButtons(buttons), window(owner));
  box.setTextFormat(Qt::PlainText);
  if (buttons == MessageButtons::yesNoCancel) box.setEscapeButton(QMessageBox::Cancel);
  return answerOf(box.exec(), buttons);
}

QStringList QtDialogServices::nameFilters(std::u16string_view filter) {
  const QStringList parts = toQString(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    // Qt reads the patterns from the parentheses of the description, so the
    // description is shown with the pattern it stands for.
    const QString& description = parts[i];
    const QString pattern = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << (description.contains(QLatin1Char('(')) ? description
                                                       : description + " (" + pattern + ")");
  }
  return filters;
}

std::optional<std::u16string> QtDialogServices::chooseFile(FileDialogKind kind, DialogOwner owner,
                                                           std::u16string_view filter,
                                                           std::u16string_view initialFolder,
                                                           std::u16string_view initialFileName) {
  QFileDialog dialog(window(owner));
  dialog.setAcceptMode(kind == FileDialogKind::open ? QFileDialog::AcceptOpen
                                                    : QFileDialog::AcceptSave);
  dialog.setFileMode(kind == FileDialogKind::open ? QFileDialog::ExistingFile
                                                  : QFileDialog::AnyFile);
  dialog.setNameFilters(nameFilters(filter));
  if (!initialFolder.empty()) dialog.setDirectory(toQString(initialFolder));
  if (!initialFileName.empty()) dialog.selectFile(toQString(initialFileName));
  if (kind == FileDialogKind::chooseModFile) {
    // Nothing is written yet: choosing an existing Mod is the usual case.
    dialog.setWindowTitle(QStringLiteral("Choose the Mod file"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Choose"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return toU16String(dialog.selectedFiles().constFirst());
}

std::optional<std::u16string> QtDialogServices::chooseFolder(DialogOwner owner,
                                                             std::u16string_view initialFolder) {
  const QString folder =
      QFileDialog::getExistingDirectory(window(owner), QString(), toQString(initialFolder));
  if (folder.isEmpty()) return std::nullopt;
  return toU16String(folder);
}

void QtDialogServices::beep() { QApplication::beep(); }

void QtDialogServices::flashWindow(DialogOwner window) {
  if (QWidget* widget = this->window(window)) QApplication::alert(widget);
}

}  // namespace sorvane
