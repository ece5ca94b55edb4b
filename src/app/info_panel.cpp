#include "app/info_panel.h"

#include "app/mod_language_box.h"
#include "app/named_widget.h"

#include <QGridLayout>
#include <QLabel>

namespace sorvane {

InfoPanel::InfoPanel(QWidget* parent) : QWidget(parent) {
  auto* sectionLabel = named<QLabel>("SectionLabel", QStringLiteral("Section:"), this);
  sectionText_ = named<QLabel>("SectionText", this);
  pluralFormText_ = named<QLabel>("PluralFormText", this);
  pluralFormText_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* subSectionLabel = named<QLabel>("SubSectionLabel", QStringLiteral("SubSection:"), this);
  subSectionText_ = named<QLabel>("SubSectionText", this);
  for (QLabel* label : {sectionText_, subSectionText_}) {
    label->setTextFormat(Qt::PlainText);
    // A long section name is cut at the window's edge; it never widens it.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
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
  grid->setColumnStretch(1, 1);
  grid->setVerticalSpacing(2);

  connect(modLanguageBox_, &ModLanguageBox::languageChosen, this, &InfoPanel::modLanguageChosen);
}

void InfoPanel::showRow(const QString& section, const QString& subsection, int pluralForm,
                        int forms) {
  sectionText_->setText(section);
  subSectionText_->setText(subsection);
  pluralFormText_->setText(
      forms > 1 ? QStringLiteral("Plural form %1 of %2").arg(pluralForm).arg(forms) : QString());
}

void InfoPanel::clearRow() {
  sectionText_->clear();
  subSectionText_->clear();
  pluralFormText_->clear();
}

void InfoPanel::showModLanguage(const std::string& code) { modLanguageBox_->showLanguage(code); }

void InfoPanel::applyStates(const ControlStates& states) {
  modLanguageBox_->setEnabled(states.modLanguage);
}

}  // namespace sorvane
