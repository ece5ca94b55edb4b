// Runs the widget tests on Qt's offscreen platform. With a class name as the
// first argument only that class runs, so that each is a test of its own.

#include "command_table_test.h"
#include "editing_test.h"
#include "layout_fit_test.h"
#include "main_window_test.h"
#include "memory_panel_test.h"
#include "qt_dialog_services_test.h"
#include "settings_test.h"
#include "string_list_test.h"
#include "work_through_test.h"

#include <QApplication>
#include <QTest>

#include <cstring>
#include <memory>
#include <vector>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  std::vector<std::unique_ptr<QObject>> tests;
  tests.push_back(std::make_unique<sorvane::test::MainWindowTest>());
  tests.push_back(std::make_unique<sorvane::test::StringListTest>());
  tests.push_back(std::make_unique<sorvane::test::QtDialogServicesTest>());
  tests.push_back(std::make_unique<sorvane::test::EditingTest>());
  tests.push_back(std::make_unique<sorvane::test::SettingsTest>());
  tests.push_back(std::make_unique<sorvane::test::LayoutFitTest>());
  tests.push_back(std::make_unique<sorvane::test::CommandTableTest>());
  tests.push_back(std::make_unique<sorvane::test::WorkThroughTest>());
  tests.push_back(std::make_unique<sorvane::test::MemoryPanelTest>());

  const char* only = argc > 1 ? argv[1] : nullptr;
  int failures = 0;
  for (const auto& test : tests) {
    const char* name = test->metaObject()->className();
    if (only != nullptr && std::strstr(name, only) == nullptr) continue;
    failures += QTest::qExec(test.get(), 1, argv);
  }
  return failures == 0 ? 0 : 1;
}
