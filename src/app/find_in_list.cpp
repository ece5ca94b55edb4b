// Find in the list: incremental from the top while typing, onward with
// "->", F3 and Enter in the find box.

#include "session/find_in_list.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/string_list_view.h"
#include "platform/dialog_services.h"

#include <QLineEdit>
#include <QPushButton>

namespace sorvane {

void MainWindow::findTextChanged() {
  findNextButton_->setEnabled(!findEdit_->text().isEmpty());
  findRowsFrom(0);
}

void MainWindow::findNext() { findRowsFrom(stringList_->selectedRow() + 1); }

void MainWindow::findRowsFrom(int start) {
  const std::u16string text = toU16String(findEdit_->text());
  const std::optional<std::int32_t> row =
      findFrom(session_, start, text, [this] { dialogs_.beep(); });
  // The found row is selected and brought into view; the keyboard focus
  // stays where it is, so typing goes on.
  if (row) stringList_->selectRow(*row);
}

}  // namespace sorvane
