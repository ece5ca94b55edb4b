#pragma once

#include "session/text_replace.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace sorvane {

class WindowController;

// Search and replace in the Mod texts of the rows shown: the pattern (a
// text or a regular expression), its options, a preview of every text it
// changes (row, before, after) with a check box each, and Replace, which
// stores the checked ones as one undoable change.
class ReplaceDialog : public QDialog {
  Q_OBJECT

 public:
  ReplaceDialog(WindowController& controller, QWidget* parent = nullptr);

  QTreeWidget& previewList() const { return *preview_; }

 private:
  void showPreview();
  void replaceChecked();
  ReplaceQuery query() const;

  WindowController& controller_;
  QLineEdit* findEdit_ = nullptr;
  QLineEdit* replaceEdit_ = nullptr;
  QCheckBox* regexCheck_ = nullptr;
  QCheckBox* caseCheck_ = nullptr;
  QCheckBox* wholeWordsCheck_ = nullptr;
  QCheckBox* acceleratorsCheck_ = nullptr;
  QTreeWidget* preview_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* previewButton_ = nullptr;
  QPushButton* replaceButton_ = nullptr;
  std::vector<Replacement> replacements_;
};

}  // namespace sorvane
