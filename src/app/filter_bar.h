#pragma once

#include "controller/window_state.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;

namespace sorvane {

class CommandButtons;
class ElidedLabel;
class WindowController;

// The bar above the list that chooses the rows it shows: by what is left
// to do, by a text in one of the row's texts (plain, with wildcards or a
// regular expression), and their order. Below them it shows "n of m rows"
// and what is wrong with a pattern, and holds the Replace button, whose scope is the
// rows shown. Hidden until asked for; hiding it shows every row again.
class FilterBar : public QWidget, public WindowObserver {
  Q_OBJECT

 public:
  FilterBar(WindowController& controller, CommandButtons& buttons, QWidget* parent = nullptr);
  ~FilterBar() override;

  void windowChanged(WindowChanges changes) override;
  // The order box, for the settings.
  QComboBox& orderBox() const { return *orderBox_; }

 private:
  void fillKinds();
  void applyFilter();
  void showCount();

  WindowController& controller_;
  QComboBox* kindBox_ = nullptr;
  QComboBox* fieldBox_ = nullptr;
  QLineEdit* textEdit_ = nullptr;
  QComboBox* patternBox_ = nullptr;
  QComboBox* orderBox_ = nullptr;
  QLabel* countLabel_ = nullptr;
  ElidedLabel* errorLabel_ = nullptr;
  bool kindsForModUpdate_ = false;
};

}  // namespace sorvane
