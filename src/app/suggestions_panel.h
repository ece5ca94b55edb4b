#pragma once

#include <QWidget>

#include <array>

namespace sorvane {

class CommandButtons;
class ElidedLabel;
class TranslationAssistant;

// Beside the info panel: the translation memory's suggestions for the
// selected row, best first, each with Ctrl+1 to Ctrl+5 that puts it into
// the Mod editor, how alike its source is in percent, how its source
// differs from the row's original and where it came from; and the
// memory's buttons. A suggestion is used by a double click too.
class SuggestionsPanel : public QWidget {
 public:
  SuggestionsPanel(TranslationAssistant& assistant, CommandButtons& buttons, QWidget* parent);

  void showSuggestions();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TranslationAssistant& assistant_;
  std::array<ElidedLabel*, 5> rows_{};
  ElidedLabel* note_;
};

}  // namespace sorvane
