#include "qt_dialog_services_test.h"

#include "app/qt_dialog_services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace sorvane::test {

namespace {

struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
};

// Reads the next message box into seen and presses the given button.
void answerNextBox(SeenBox& seen, QMessageBox::StandardButton answer) {
  QTimer::singleShot(0, [&seen, answer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    QVERIFY(box != nullptr);
    seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
    box->button(answer)->click();
  });
}

}  // namespace

void QtDialogServicesTest::messageBoxesShowTheTextCaptionButtonsAndIcon() {
  QtDialogServices dialogs;
  QWidget owner;
  dialogs.setWindow(DialogOwner::mainWindow, &owner);
  SeenBox seen;
  answerNextBox(seen, QMessageBox::No);
  const MessageAnswer answer = dialogs.showMessage(
      DialogOwner::mainWindow, u"Do you want to save changes now?\r\nReally?", u"Changes not saved",
      MessageButtons::yesNoCancel, MessageIcon::exclamation);
  QVERIFY(answer == MessageAnswer::no);
  QCOMPARE(seen.title, QStringLiteral("Changes not saved"));
  QCOMPARE(seen.text, QStringLiteral("Do you want to save changes now?\nReally?"));
  QCOMPARE(seen.icon, QMessageBox::Warning);
  QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

void QtDialogServicesTest::aBoxWithoutCaptionShowsTheDefaultOne() {
  QtDialogServices dialogs;
  SeenBox seen;
  answerNextBox(seen, QMessageBox::Ok);
  QVERIFY(dialogs.showMessage(DialogOwner::none, u"Invalid header", std::nullopt,
                              MessageButtons::ok, MessageIcon::error) == MessageAnswer::ok);
  QCOMPARE(seen.title, QStringLiteral("Error"));
  QCOMPARE(seen.icon, QMessageBox::Critical);
  QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void QtDialogServicesTest::filtersBecomeQtNameFilters() {
  QCOMPARE(QtDialogServices::nameFilters(u"QM Files (*.qm)|*.qm|All files (*.*)|*.*"),
           QStringList({QStringLiteral("QM Files (*.qm)"), QStringLiteral("All files (*.*)")}));
  QCOMPARE(QtDialogServices::nameFilters(u"Texts|*.txt;*.text"),
           QStringList({QStringLiteral("Texts (*.txt *.text)")}));
}

}  // namespace sorvane::test
