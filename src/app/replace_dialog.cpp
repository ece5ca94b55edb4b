#include "app/replace_dialog.h"

#include "app/named_widget.h"
#include "app/qt_text.h"
#include "controller/window_controller.h"
#include "session/string_list_layout.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace sorvane {

namespace {

// A text on one line of the preview, each line break shown as a mark.
QString oneLine(const std::u16string& text) {
  QString line = toQString(text);
  line.replace(QLatin1Char('\n'), QChar(0x21B5));
  return line;
}

}  // namespace

ReplaceDialog::ReplaceDialog(WindowController& controller, QWidget* parent)
    : QDialog(parent), controller_(controller) {
  setObjectName(QStringLiteral("ReplaceDialog"));
  setWindowTitle(QStringLiteral("Replace in Mod texts"));
  findEdit_ = named<QLineEdit>("ReplaceFindBox", this);
  replaceEdit_ = named<QLineEdit>("ReplaceWithBox", this);
  regexCheck_ = named<QCheckBox>("ReplaceRegexCheck", QStringLiteral("Regular e&xpression"), this);
  regexCheck_->setToolTip(
      QStringLiteral("An ICU regular expression; the replacement names its groups as $1, $2..."));
  caseCheck_ = named<QCheckBox>("ReplaceCaseCheck", QStringLiteral("Match &case"), this);
  wholeWordsCheck_ =
      named<QCheckBox>("ReplaceWholeWordsCheck", QStringLiteral("&Whole words"), this);
  acceleratorsCheck_ = named<QCheckBox>("ReplaceIgnoreAcceleratorsCheck",
                                        QStringLiteral("Ignore &accelerators (&&)"), this);
  acceleratorsCheck_->setChecked(true);

  preview_ = named<QTreeWidget>("ReplacePreviewList", this);
  preview_->setColumnCount(3);
  preview_->setHeaderLabels(
      {QStringLiteral("Row"), QStringLiteral("Before"), QStringLiteral("After")});
  preview_->setRootIsDecorated(false);
  preview_->setUniformRowHeights(true);
  preview_->header()->setStretchLastSection(true);
  status_ = named<QLabel>("ReplaceStatusLabel", this);
  status_->setTextFormat(Qt::PlainText);
  status_->setWordWrap(true);

  auto* buttons = new QDialogButtonBox(this);
  previewButton_ = named<QPushButton>("ReplacePreviewButton", QStringLiteral("&Preview"), this);
  replaceButton_ = named<QPushButton>("ReplaceApplyButton", QStringLiteral("&Replace"), this);
  auto* closeButton = named<QPushButton>("ReplaceCloseButton", QStringLiteral("Close"), this);
  buttons->addButton(previewButton_, QDialogButtonBox::ActionRole);
  buttons->addButton(replaceButton_, QDialogButtonBox::AcceptRole);
  buttons->addButton(closeButton, QDialogButtonBox::RejectRole);
  previewButton_->setDefault(true);
  replaceButton_->setEnabled(false);

  auto* fields = new QFormLayout;
  fields->addRow(named<QLabel>("ReplaceFindLabel", QStringLiteral("&Find:"), this), findEdit_);
  fields->addRow(named<QLabel>("ReplaceWithLabel", QStringLiteral("Replace wit&h:"), this),
                 replaceEdit_);
  for (int row = 0; row < fields->rowCount(); ++row) {
    if (auto* label = qobject_cast<QLabel*>(fields->itemAt(row, QFormLayout::LabelRole)->widget()))
      label->setBuddy(fields->itemAt(row, QFormLayout::FieldRole)->widget());
  }
  auto* options = new QGridLayout;
  options->addWidget(regexCheck_, 0, 0);
  options->addWidget(caseCheck_, 0, 1);
  options->addWidget(wholeWordsCheck_, 1, 0);
  options->addWidget(acceleratorsCheck_, 1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(options);
  layout->addWidget(preview_, 1);
  layout->addWidget(status_);
  layout->addWidget(buttons);
  resize(720, 460);

  connect(previewButton_, &QPushButton::clicked, this, &ReplaceDialog::showPreview);
  connect(replaceButton_, &QPushButton::clicked, this, &ReplaceDialog::replaceChecked);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
  // What the preview shows is what Replace stores: any change of the query
  // asks for a new preview.
  const auto outdated = [this] {
    replaceButton_->setEnabled(false);
    previewButton_->setDefault(true);
  };
  for (QLineEdit* edit : {findEdit_, replaceEdit_}) connect(edit, &QLineEdit::textEdited, outdated);
  for (QCheckBox* check : {regexCheck_, caseCheck_, wholeWordsCheck_, acceleratorsCheck_}) {
    connect(check, &QCheckBox::toggled, outdated);
  }
}

ReplaceQuery ReplaceDialog::query() const {
  ReplaceQuery query;
  query.pattern = toU16String(findEdit_->text());
  query.replacement = toU16String(replaceEdit_->text());
  query.regex = regexCheck_->isChecked();
  query.matchCase = caseCheck_->isChecked();
  query.wholeWords = wholeWordsCheck_->isChecked();
  query.ignoreAccelerators = acceleratorsCheck_->isChecked();
  return query;
}

void ReplaceDialog::showPreview() {
  preview_->clear();
  replacements_.clear();
  std::u16string error;
  std::optional<std::vector<Replacement>> found = controller_.findReplacements(query(), &error);
  if (!found) {
    status_->setStyleSheet(QStringLiteral("QLabel { color: #B01010; }"));
    status_->setText(toQString(error));
    replaceButton_->setEnabled(false);
    return;
  }
  status_->setStyleSheet({});
  replacements_ = std::move(*found);
  const std::int32_t rows = controller_.session().rowCount();
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(replacements_.size()));
  for (const Replacement& replacement : replacements_) {
    auto* item = new QTreeWidgetItem({toQString(rowNumberText(replacement.row, rows)),
                                      oneLine(replacement.before), oneLine(replacement.after)});
    item->setCheckState(0, Qt::Checked);
    item->setToolTip(1, toQString(replacement.before));
    item->setToolTip(2, toQString(replacement.after));
    items.push_back(item);
  }
  preview_->addTopLevelItems(items);
  preview_->resizeColumnToContents(0);
  status_->setText(
      replacements_.empty()
          ? QStringLiteral("No Mod text of the rows shown holds the text.")
          : QStringLiteral("%1 text(s) change. Uncheck those to keep.").arg(replacements_.size()));
  replaceButton_->setEnabled(!replacements_.empty());
  if (!replacements_.empty()) replaceButton_->setDefault(true);
}

void ReplaceDialog::replaceChecked() {
  std::vector<Replacement> checked;
  for (int i = 0; i < preview_->topLevelItemCount(); ++i) {
    if (preview_->topLevelItem(i)->checkState(0) == Qt::Checked) {
      checked.push_back(replacements_[static_cast<std::size_t>(i)]);
    }
  }
  controller_.replaceTexts(checked);
  accept();
}

}  // namespace sorvane
