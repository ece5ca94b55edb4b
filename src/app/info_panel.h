#pragma once

#include "session/control_states.h"

#include <QWidget>

#include <string>

class QLabel;

namespace sorvane {

class ElidedLabel;
class ModLanguageBox;

// Under the list: the selected row's section and subsection texts, its
// Qt comment (the disambiguation), which plural form it is, and the Mod's
// language. Long texts are cut with "…" and shown whole in a tooltip; the
// panel keeps its height whatever the row.
class InfoPanel : public QWidget {
  Q_OBJECT

 public:
  explicit InfoPanel(QWidget* parent);

  // pluralForm and forms from 1; no plural line for a message of one form.
  // problems: the checks' findings; change: the original's change, marked word by
  // word ("[-old-]{+new+}"), for a row whose original text changed.
  void showRow(const QString& section, const QString& subsection, const QString& comment,
               int pluralForm, int forms, const QStringList& problems, const QString& change);
  void clearRow();
  void showModLanguage(const std::string& code);
  void applyStates(const ControlStates& states);

 signals:
  void modLanguageChosen(const std::string& code);

 private:
  ElidedLabel* sectionText_;
  ElidedLabel* subSectionText_;
  ElidedLabel* commentText_;
  ElidedLabel* problemsText_;
  ElidedLabel* changeText_;
  QLabel* pluralFormText_;
  ModLanguageBox* modLanguageBox_;
};

}  // namespace sorvane
