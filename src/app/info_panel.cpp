#include "app/info_panel.h"

#include "app/elided_label.h"
#include "app/mod_language_box.h"
#include "app/named_widget.h"
#include "app/qt_text.h"
#include "controller/window_controller.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

namespace sorvane {

InfoPanel::InfoPanel(WindowController& controller, QWidget* parent)
    : QWidget(parent), controller_(controller) {
  auto* sectionLabel = named<QLabel>("SectionLabel", QStringLiteral("Section:"), this);
  sectionText_ = named<ElidedLabel>("SectionText", this);
  pluralFormText_ = named<QLabel>("PluralFormText", this);
  pluralFormText_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* subSectionLabel = named<QLabel>("SubSectionLabel", QStringLiteral("SubSection:"), this);
  subSectionText_ = named<ElidedLabel>("SubSectionText", this);
  auto* commentLabel = named<QLabel>("CommentLabel", QStringLiteral("Comment:"), this);
  commentText_ = named<ElidedLabel>("CommentText", this);
  // What the checks found, and for a row whose original changed, how.
  auto* checkLabel = named<QLabel>("CheckLabel", QStringLiteral("Check:"), this);
  problemsText_ = named<ElidedLabel>("ProblemsText", this);
  problemsText_->setStyleSheet(QStringLiteral("QLabel { color: #B01010; }"));
  changeText_ = named<ElidedLabel>("ChangeText", this);
  // How far the translation has come.
  auto* progressLabel = named<QLabel>("ProgressLabel", QStringLiteral("Progress:"), this);
  progressText_ = named<ElidedLabel>("ProgressText", this);
  // The dictionary in use, or the package that holds a missing one.
  auto* spellingLabel = named<QLabel>("SpellingLabel", QStringLiteral("Spelling:"), this);
  spellingText_ = named<ElidedLabel>("SpellingText", this);
  for (ElidedLabel* label : {sectionText_, subSectionText_, commentText_, problemsText_,
                             changeText_, progressText_, spellingText_}) {
    label->setTextFormat(Qt::PlainText);
    // A long section name is cut at the window's edge; it never widens it.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  }
  // The Mod's language, which decides its plural forms, beside them.
  auto* modLanguageLabel = named<QLabel>("ModLanguageLabel", QStringLiteral("Mod language:"), this);
  modLanguageLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  modLanguageBox_ = named<ModLanguageBox>("ModLanguageBox", this);
  modLanguageLabel->setBuddy(modLanguageBox_);
  modLanguageBox_->setEnabled(false);

  auto* grid = new QGridLayout(this);
  grid->addWidget(sectionLabel, 0, 0);
  grid->addWidget(sectionText_, 0, 1);
  grid->addWidget(pluralFormText_, 0, 2, 1, 2);
  grid->addWidget(subSectionLabel, 1, 0);
  grid->addWidget(subSectionText_, 1, 1);
  grid->addWidget(modLanguageLabel, 1, 2);
  grid->addWidget(modLanguageBox_, 1, 3);
  grid->addWidget(commentLabel, 2, 0);
  grid->addWidget(commentText_, 2, 1, 1, 3);
  auto* checkLine = new QHBoxLayout;
  checkLine->addWidget(problemsText_, 1);
  checkLine->addWidget(changeText_, 1);
  grid->addWidget(checkLabel, 3, 0);
  grid->addLayout(checkLine, 3, 1, 1, 3);
  grid->addWidget(progressLabel, 4, 0);
  grid->addWidget(progressText_, 4, 1, 1, 3);
  grid->addWidget(spellingLabel, 5, 0);
  grid->addWidget(spellingText_, 5, 1, 1, 3);
  grid->setColumnStretch(1, 1);
  grid->setVerticalSpacing(2);
  // The same height whatever the row shows.
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

  connect(modLanguageBox_, &ModLanguageBox::languageChosen, this,
          [this](const std::string& code) { controller_.changeModLanguage(code); });
  controller_.addObserver(*this);
}

InfoPanel::~InfoPanel() { controller_.removeObserver(*this); }

void InfoPanel::windowChanged(WindowChanges changes) {
  if ((changes & (WindowChange::selection | WindowChange::texts | WindowChange::rowsReset |
                  WindowChange::mode)) != 0) {
    showSelectedRow();
  }
  if ((changes & (WindowChange::texts | WindowChange::rowsReset | WindowChange::controls)) != 0) {
    showProgress();
    showSpelling();
  }
  if ((changes & WindowChange::controls) != 0) {
    const Session& session = controller_.session();
    modLanguageBox_->setEnabled(controller_.state().controls.modLanguage);
    modLanguageBox_->showLanguage(session.isOpen() ? session.modLanguage() : std::string());
  }
}

void InfoPanel::showSelectedRow() {
  const std::optional<RowInfo> info = controller_.selectedRowInfo();
  if (!info) {
    for (ElidedLabel* label :
         {sectionText_, subSectionText_, commentText_, problemsText_, changeText_}) {
      label->setFullText({});
    }
    pluralFormText_->clear();
    return;
  }
  sectionText_->setFullText(toQString(info->section));
  subSectionText_->setFullText(toQString(info->subsection));
  commentText_->setFullText(toQString(info->comment));
  QStringList problems;
  for (const std::u16string& problem : info->problems) problems << toQString(problem);
  problemsText_->setFullText(problems.join(QStringLiteral("; ")));
  const QString change = toQString(info->change);
  changeText_->setFullText(change.isEmpty() ? QString() : QStringLiteral("Changed: ") + change);
  problemsText_->setVisible(!problems.isEmpty() || change.isEmpty());
  changeText_->setVisible(!change.isEmpty());
  QString plural;
  if (info->forms > 1) {
    plural = QStringLiteral("Plural form %1 of %2").arg(info->form).arg(info->forms);
    if (!info->formCounts.empty()) plural += QStringLiteral(": ") + toQString(info->formCounts);
  }
  pluralFormText_->setText(plural);
}

void InfoPanel::showSpelling() {
  const Session& session = controller_.session();
  QString text;
  if (!session.isOpen()) {
    text.clear();
  } else if (!controller_.spellingOn()) {
    text = QStringLiteral("off");
  } else if (const SpellChecker* speller = controller_.speller()) {
    text = QString::fromStdString(speller->dictionaryName()) +
           (controller_.backgroundWorkPending() ? QStringLiteral(" (checking\u2026)") : QString());
  } else if (!controller_.spellingNote().empty()) {
    text = toQString(controller_.spellingNote());
  } else {
    text = QStringLiteral("the Mod names no language");
  }
  spellingText_->setFullText(text);
}

void InfoPanel::showProgress() {
  if (!controller_.session().isOpen()) {
    progressText_->setFullText({});
    return;
  }
  // Messages, and the words of their original texts.
  const TranslationProgress::Counts& counts = controller_.progress().counts();
  const auto part = [](const char* name, const TranslationProgress::Tally& tally) {
    return QStringLiteral("%1 %2 (%3 words)")
        .arg(QString::fromLatin1(name))
        .arg(tally.messages)
        .arg(tally.words);
  };
  progressText_->setFullText(part("Translated", counts.translated) + QStringLiteral(" \u00B7 ") +
                             part("untranslated", counts.untranslated) +
                             QStringLiteral(" \u00B7 ") + part("incomplete", counts.incomplete));
}

}  // namespace sorvane
