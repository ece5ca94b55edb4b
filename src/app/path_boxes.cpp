#include "app/path_boxes.h"

#include "app/fitted_button.h"
#include "app/named_widget.h"
#include "app/qt_text.h"
#include "controller/window_controller.h"
#include "platform/dialog_services.h"
#include "platform/paths.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace sorvane {

namespace {

constexpr std::u16string_view kQmFilter = u"QM Files (*.qm)|*.qm|All files (*.*)|*.*";

}  // namespace

PathBoxes::PathBoxes(WindowController& controller, DialogServices& dialogs, QWidget* parent)
    : QWidget(parent), controller_(controller), dialogs_(dialogs) {
  auto* modFileLabel = named<QLabel>("ModFileLabel", QStringLiteral("Mod file:"), this);
  newOriginalLabel_ = named<QLabel>("NewOriginalLabel", QStringLiteral("Original file:"), this);
  oldOriginalLabel_ = named<QLabel>("OldOriginalLabel", QStringLiteral("Old original file:"), this);
  // Created in the order the Tab key visits them.
  oldOriginalEdit_ = named<QLineEdit>("OldOriginalEdit", this);
  oldOriginalBrowse_ = named<FittedButton>("OldOriginalBrowse", QStringLiteral("..."), this);
  newOriginalEdit_ = named<QLineEdit>("NewOriginalEdit", this);
  newOriginalBrowse_ = named<FittedButton>("NewOriginalBrowse", QStringLiteral("..."), this);
  modFileEdit_ = named<QLineEdit>("ModFileEdit", this);
  modFileBrowse_ = named<FittedButton>("ModFileBrowse", QStringLiteral("..."), this);
  // Files dropped on a box go to the window, which places them.
  for (QLineEdit* box : {oldOriginalEdit_, newOriginalEdit_, modFileEdit_}) {
    box->setAcceptDrops(false);
  }
  for (QPushButton* button : {oldOriginalBrowse_, newOriginalBrowse_, modFileBrowse_}) {
    button->setAutoDefault(false);
  }

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  QWidget* const rows[3][3] = {{oldOriginalLabel_, oldOriginalEdit_, oldOriginalBrowse_},
                               {newOriginalLabel_, newOriginalEdit_, newOriginalBrowse_},
                               {modFileLabel, modFileEdit_, modFileBrowse_}};
  for (int line = 0; line < 3; ++line) {
    for (int column = 0; column < 3; ++column) {
      grid->addWidget(rows[line][column], line, column);
    }
  }
  grid->setColumnStretch(1, 1);

  connect(oldOriginalBrowse_, &QPushButton::clicked, this,
          [this] { browse(true, oldOriginalEdit_); });
  connect(newOriginalBrowse_, &QPushButton::clicked, this,
          [this] { browse(true, newOriginalEdit_); });
  connect(modFileBrowse_, &QPushButton::clicked, this, [this] { browse(false, modFileEdit_); });
  for (QLineEdit* box : {oldOriginalEdit_, newOriginalEdit_, modFileEdit_}) {
    connect(box, &QLineEdit::textChanged, this, &PathBoxes::tellPaths);
  }
  controller_.addObserver(*this);
  PathBoxes::windowChanged(WindowChange::paths | WindowChange::mode | WindowChange::controls);
}

PathBoxes::~PathBoxes() { controller_.removeObserver(*this); }

void PathBoxes::tellPaths() {
  controller_.setPaths({toU16String(oldOriginalEdit_->text()),
                        toU16String(newOriginalEdit_->text()), toU16String(modFileEdit_->text())});
}

void PathBoxes::windowChanged(WindowChanges changes) {
  if ((changes & WindowChange::paths) != 0) {
    const SessionPaths& paths = controller_.paths();
    for (const auto& [box, path] :
         {std::pair{oldOriginalEdit_, &paths.oldOriginal},
          std::pair{newOriginalEdit_, &paths.newOriginal}, std::pair{modFileEdit_, &paths.mod}}) {
      const QString text = toQString(*path);
      if (box->text() == text) continue;
      const QSignalBlocker blocker(box);
      box->setText(text);
    }
  }
  if ((changes & WindowChange::mode) != 0) {
    newOriginalLabel_->setText(controller_.chosenMode() == SessionMode::modUpdate
                                   ? QStringLiteral("New original file:")
                                   : QStringLiteral("Original file:"));
  }
  const ControlStates states = controller_.state().controls;
  for (QWidget* control : std::initializer_list<QWidget*>{newOriginalEdit_, newOriginalBrowse_}) {
    control->setEnabled(states.chooseMode);
  }
  oldOriginalEdit_->setEnabled(states.oldOriginalBox);
  oldOriginalBrowse_->setEnabled(states.oldOriginalBox);
  oldOriginalLabel_->setEnabled(states.oldOriginalLabel);
}

void PathBoxes::focusFirstEmptyBox() {
  for (QLineEdit* box : {oldOriginalEdit_, newOriginalEdit_, modFileEdit_}) {
    if (box->isEnabled() && box->text().isEmpty()) {
      box->setFocus();
      return;
    }
  }
}

bool PathBoxes::isPathBox(const QWidget* widget) const {
  return widget != nullptr &&
         (widget == oldOriginalEdit_ || widget == newOriginalEdit_ || widget == modFileEdit_);
}

void PathBoxes::placeDroppedFiles(const QStringList& files, SessionMode mode,
                                  const QWidget* under) {
  if (files.size() == 1) {
    QLineEdit* box = newOriginalEdit_;
    for (QLineEdit* pathBox : {oldOriginalEdit_, newOriginalEdit_, modFileEdit_}) {
      if (under == pathBox && pathBox->isEnabled()) box = pathBox;
    }
    box->setText(files.front());
    return;
  }
  QList<QLineEdit*> boxes{newOriginalEdit_, modFileEdit_};
  if (mode == SessionMode::modUpdate) boxes.prepend(oldOriginalEdit_);
  for (qsizetype i = 0; i < files.size() && i < boxes.size(); ++i) boxes[i]->setText(files[i]);
}

void PathBoxes::browse(bool openDialog, QLineEdit* box) {
  const std::u16string text = toU16String(box->text());
  const std::optional<std::u16string> chosen = dialogs_.chooseFile(
      openDialog ? FileDialogKind::open : FileDialogKind::chooseModFile, DialogOwner::mainWindow,
      kQmFilter, nearestExistingFolder(text), fileNamePart(text));
  if (chosen) box->setText(toQString(*chosen));
}

}  // namespace sorvane
