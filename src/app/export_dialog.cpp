#include "app/export_dialog.h"

#include "app/named_widget.h"
#include "app/qt_text.h"
#include "platform/dialog_services.h"
#include "platform/message_format.h"
#include "platform/paths.h"
#include "session/session.h"
#include "textio/exchange_file.h"
#include "textio/text_export.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace sorvane {

namespace {

constexpr std::u16string_view kWaitText =
    u"Now you can open exported text file with external program\r\n"
    u"(e.g. to spell-check your translation).\r\n"
    u"You can also edit this file, but DO NOT CHANGE LINES COUNT!\r\n\r\n\"%s\"\r\n\r\n"
    u"When done, click \"OK\" to import changed file to Sorvane again.\r\n"
    u"THIS CANNOT BE UNDONE!\r\nOtherwise, click \"Cancel\".";

constexpr std::u16string_view kToolWaitText =
    u"Now you can open the exported file with a translation tool\r\n"
    u"(Poedit, Lokalize, OmegaT, Qt Linguist, a translation platform).\r\n"
    u"Units may be reordered or left out; each comes back by its key.\r\n\r\n\"%s\"\r\n\r\n"
    u"When done, click \"OK\" to import its translations to Sorvane again.\r\n"
    u"THIS CANNOT BE UNDONE!\r\nOtherwise, click \"Cancel\".";

// The formats in the order of the Format box, with their extension and
// the file chooser's filter.
struct FormatChoice {
  ExchangeFormat format;
  const char* caption;
  std::u16string_view extension;
  std::u16string_view filter;
};
constexpr FormatChoice kFormats[] = {
    {ExchangeFormat::lineList, "Text lines (.txt)", u".txt",
     u"Text Files (*.txt)|*.txt|All files (*.*)|*.*"},
    {ExchangeFormat::po, "gettext PO (.po)", u".po", u"PO Files (*.po)|*.po|All files (*.*)|*.*"},
    {ExchangeFormat::xliff, "XLIFF 1.2 (.xlf)", u".xlf",
     u"XLIFF Files (*.xlf *.xliff)|*.xlf;*.xliff|All files (*.*)|*.*"},
    {ExchangeFormat::ts, "Qt Linguist TS (.ts)", u".ts",
     u"Qt Linguist Files (*.ts)|*.ts|All files (*.*)|*.*"},
};

}  // namespace

ExportDialog::ExportDialog(Session& session, DialogServices& dialogs, const SessionPaths& paths,
                           QWidget* parent)
    : QDialog(parent), session_(session), dialogs_(dialogs), paths_(paths) {
  setObjectName(QStringLiteral("ExportDialog"));
  setWindowTitle(QStringLiteral("Export to text file"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);

  auto* label = named<QLabel>("FileNameLabel", QStringLiteral("File name:"));
  fileNameEdit_ = named<QLineEdit>("FileNameEdit", toQString(defaultExportFileName(paths.mod)));
  fileNameEdit_->setMinimumWidth(348);
  auto* browseButton = named<QPushButton>("BrowseButton", QStringLiteral("..."));
  browseButton->setAutoDefault(false);
  auto* formatLabel = named<QLabel>("FormatLabel", QStringLiteral("&Format:"));
  formatBox_ = named<QComboBox>("FormatBox");
  for (const FormatChoice& choice : kFormats)
    formatBox_->addItem(QString::fromLatin1(choice.caption));
  formatLabel->setBuddy(formatBox_);
  importCheck_ = named<QCheckBox>(
      "ImportCheck", QStringLiteral("Offer to &import back after external modifications"));
  auto* okButton = named<QPushButton>("OkButton", QStringLiteral("OK"));
  okButton->setDefault(true);
  auto* cancelButton = named<QPushButton>("CancelButton", QStringLiteral("Cancel"));
  cancelButton->setAutoDefault(false);

  // The file name with its "..." above, the
  // check box with OK and Cancel below; sizes come from the contents.
  auto* grid = new QGridLayout(this);
  grid->addWidget(label, 0, 0);
  grid->addWidget(fileNameEdit_, 0, 1, 1, 3);
  grid->addWidget(browseButton, 0, 4);
  grid->addWidget(formatLabel, 1, 0);
  grid->addWidget(formatBox_, 1, 1, Qt::AlignLeft);
  grid->addWidget(importCheck_, 2, 0, 1, 2);
  grid->addWidget(okButton, 2, 2);
  grid->addWidget(cancelButton, 2, 3, 1, 2);
  grid->setColumnStretch(1, 1);
  grid->setSizeConstraint(QLayout::SetFixedSize);
  setTabOrder(fileNameEdit_, browseButton);
  setTabOrder(browseButton, formatBox_);
  setTabOrder(formatBox_, importCheck_);
  setTabOrder(importCheck_, okButton);
  setTabOrder(okButton, cancelButton);

  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
  connect(browseButton, &QPushButton::clicked, this, &ExportDialog::browse);
  connect(formatBox_, &QComboBox::currentIndexChanged, this, &ExportDialog::takeFormatsExtension);
  connect(okButton, &QPushButton::clicked, this, &ExportDialog::exportTexts);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool ExportDialog::eventFilter(QObject* watched, QEvent* event) {
  // Ctrl+I toggles the import check box wherever the focus is.
  if (event->type() == QEvent::KeyPress) {
    const auto& key = static_cast<const QKeyEvent&>(*event);
    const Qt::KeyboardModifiers modifiers =
        key.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
    if (key.key() == Qt::Key_I && modifiers == Qt::ControlModifier) {
      importCheck_->toggle();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

// The file name follows the chosen format: an extension of one of the
// formats becomes the new format's.
void ExportDialog::takeFormatsExtension(int index) {
  const QString name = fileNameEdit_->text();
  for (const FormatChoice& choice : kFormats) {
    const QString extension = toQString(choice.extension);
    if (!name.endsWith(extension, Qt::CaseInsensitive)) continue;
    fileNameEdit_->setText(name.left(name.size() - extension.size()) +
                           toQString(kFormats[static_cast<std::size_t>(index)].extension));
    return;
  }
}

void ExportDialog::browse() {
  const std::u16string text = toU16String(fileNameEdit_->text());
  const std::optional<std::u16string> chosen =
      dialogs_.chooseFile(FileDialogKind::save, DialogOwner::exportDialog,
                          kFormats[static_cast<std::size_t>(formatBox_->currentIndex())].filter,
                          nearestExistingFolder(text), fileNamePart(text));
  if (chosen) fileNameEdit_->setText(toQString(*chosen));
}

void ExportDialog::exportTexts() {
  const std::u16string path = toU16String(fileNameEdit_->text());
  const ExchangeFormat format =
      kFormats[static_cast<std::size_t>(formatBox_->currentIndex())].format;
  const std::u16string_view inputs[] = {paths_.oldOriginal, paths_.newOriginal, paths_.mod};
  if (!exportTargetAllowed(dialogs_, path, inputs)) return;
  if (format != ExchangeFormat::lineList) {
    exportForTools(format, path);
    return;
  }
  if (const int error = writeExportFile(session_.mod(), path); error != 0) {
    reportExportError(dialogs_, path, error);
    return;
  }
  if (!importCheck_->isChecked()) {
    accept();
    return;
  }
  hide();
  const MessageAnswer answer = dialogs_.showMessage(
      DialogOwner::mainWindow, formatMessage(kWaitText, {path}), u"Press \"OK\" when ready",
      MessageButtons::okCancel, MessageIcon::information);
  if (answer == MessageAnswer::ok) {
    WideStringList importedLines;
    if (importTextFile(session_, toU16String(fileNameEdit_->text()), dialogs_, importedLines)) {
      writeImportSideFiles(importedLines, session_.mod(), path);
    }
  }
  accept();
}

void ExportDialog::exportForTools(ExchangeFormat format, const std::u16string& path) {
  if (!exportUnits(session_, format, path, paths_.mod, dialogs_)) return;
  if (!importCheck_->isChecked()) {
    accept();
    return;
  }
  hide();
  const MessageAnswer answer = dialogs_.showMessage(
      DialogOwner::mainWindow, formatMessage(kToolWaitText, {path}), u"Press \"OK\" when ready",
      MessageButtons::okCancel, MessageIcon::information);
  if (answer == MessageAnswer::ok) {
    if (const std::optional<ImportReport> report =
            importUnitsFile(session_, format, path, dialogs_)) {
      dialogs_.showMessage(DialogOwner::mainWindow, importReportText(*report), u"Import",
                           MessageButtons::ok, MessageIcon::information);
    }
  }
  accept();
}

}  // namespace sorvane
