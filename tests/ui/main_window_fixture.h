#pragma once

#include "app/main_window.h"
#include "app/string_list_model.h"
#include "app/string_list_view.h"
#include "support/qm_bytes_builder.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

namespace sorvane::test {

// A main window over a temporary folder of QM files, driven as a user would:
// typing into the path boxes and clicking the buttons. Every message box is
// recorded and answered from a script.
class MainWindowFixture {
 public:
  MainWindowFixture() : window(std::make_unique<MainWindow>(dialogs)) {
    window->show();
    window->activateWindow();
    // Focus only moves inside the active window.
    if (!QTest::qWaitForWindowActive(window.get())) qWarning("the window did not become active");
  }

  template <typename Widget = QWidget>
  Widget* find(const char* name) const {
    auto* widget = window->findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) qFatal("no control named %s", name);
    return widget;
  }

  void type(const char* box, const std::string& text) const {
    auto* edit = find<QLineEdit>(box);
    edit->clear();
    QTest::keyClicks(edit, QString::fromStdString(text));
  }

  void click(const char* button) const {
    QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
  }

  std::string write(const char* name, const std::vector<QmEntry>& entries) const {
    folder.write(name, buildQm(entries));
    return folder.path(name);
  }

  // Types the paths and clicks Open in the mode given.
  void open(const std::string& original, const std::string& mod, const std::string& old = {}) {
    QTest::mouseClick(find<QRadioButton>(old.empty() ? "TraditionalRadio" : "ModUpdateRadio"),
                      Qt::LeftButton);
    if (!old.empty()) type("OldOriginalEdit", old);
    type("NewOriginalEdit", original);
    type("ModFileEdit", mod);
    click("OpenButton");
  }

  StringListView& list() const { return window->stringList(); }
  QString cell(int row, int column) const {
    return list().model()->index(row, column).data().toString();
  }
  QString text(const char* label) const { return find<QLabel>(label)->text(); }

  TempFolder folder;
  RecordingDialogServices dialogs;
  std::unique_ptr<MainWindow> window;
};

}  // namespace sorvane::test
