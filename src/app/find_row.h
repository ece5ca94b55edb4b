#pragma once

#include "controller/window_state.h"

#include <QFont>
#include <QWidget>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace sorvane {

class CommandButtons;
class WindowController;

// The list font (family and size) and the find box with its "->" button.
// What is typed in the box is the controller's find text; what the find
// came to shows beside it.
class FindRow : public QWidget, public WindowObserver {
  Q_OBJECT

 public:
  FindRow(WindowController& controller, CommandButtons& buttons, QWidget* parent);
  ~FindRow() override;

  // The list font: the chosen family at the size typed or chosen (a size
  // of 0 or none is the desktop's size).
  QFont listFont(const QFont& base) const;
  // The settings' font name and size text; a name not offered chooses the
  // first family, none the desktop's font and size.
  QString fontName() const;
  QString fontSizeText() const;
  void setFont(const QString& name, const QString& sizeText);

  void focusFindBox();
  // "All texts": find looks in the section, subsection and comment too.
  QCheckBox& inKeysCheck() const { return *inKeysCheck_; }
  bool isFindBox(const QWidget* widget) const;

  void windowChanged(WindowChanges changes) override;

 signals:
  void listFontChanged();

 private:
  void fillFontNames();
  // What the last find came to: shown beside the box until the next one.
  void showFindResult(FindResult result);

  WindowController& controller_;
  QComboBox* fontNameBox_;
  QComboBox* fontSizeBox_;
  QLineEdit* findEdit_;
  QAbstractButton* findNextButton_;
  QLabel* findStatus_;
  QCheckBox* inKeysCheck_;
};

}  // namespace sorvane
