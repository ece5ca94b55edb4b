#pragma once

#include "controller/window_state.h"

#include <QWidget>

#include <string>

class QLabel;

namespace sorvane {

class ElidedLabel;
class ModLanguageBox;
class WindowController;

// Under the list: the selected row's section and subsection texts, its
// Qt comment (the disambiguation), which plural form it is, and the Mod's
// language. Long texts are cut with "…" and shown whole in a tooltip; the
// panel keeps its height whatever the row. The problems are the checks'
// findings; for a row whose original text changed, the change shows
// marked word by word ("[-old-]{+new+}").
class InfoPanel : public QWidget, public WindowObserver {
 public:
  InfoPanel(WindowController& controller, QWidget* parent);
  ~InfoPanel() override;

  void windowChanged(WindowChanges changes) override;

 private:
  void showSelectedRow();
  void showProgress();
  void showSpelling();

  WindowController& controller_;
  ElidedLabel* sectionText_;
  ElidedLabel* subSectionText_;
  ElidedLabel* commentText_;
  ElidedLabel* problemsText_;
  ElidedLabel* changeText_;
  ElidedLabel* progressText_;
  ElidedLabel* spellingText_;
  QLabel* pluralFormText_;
  ModLanguageBox* modLanguageBox_;
};

}  // namespace sorvane
