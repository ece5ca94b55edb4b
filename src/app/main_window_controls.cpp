// Builds the main window's panels and controls, laid out from their contents.

#include "app/column_captions.h"
#include "app/fitted_button.h"
#include "app/main_window.h"
#include "app/mod_language_box.h"
#include "app/mod_update_legend.h"
#include "app/named_widget.h"
#include "app/string_list_model.h"
#include "app/string_list_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <array>
#include <functional>

namespace sorvane {

namespace {

// Calls an action when the watched widget is clicked.
class ClickFilter : public QObject {
 public:
  ClickFilter(QWidget& widget, std::function<void()> action)
      : QObject(&widget), action_(std::move(action)) {
    widget.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress) action_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> action_;
};

// A row of controls; nullptr stands for the stretch that pushes the rest to
// the right edge.
QHBoxLayout* row(std::initializer_list<QWidget*> widgets) {
  auto* layout = new QHBoxLayout;
  for (QWidget* widget : widgets) {
    if (widget == nullptr) {
      layout->addStretch(1);
    } else {
      layout->addWidget(widget);
    }
  }
  return layout;
}

}  // namespace

void MainWindow::buildControls() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  // The window is never smaller than its controls need.
  layout->setSizeConstraint(QLayout::SetMinimumSize);

  buildInfoPanel();
  model_ = new StringListModel(session_, this);
  stringList_ = new StringListView(*model_, this);
  buildControlsPanel();
  buildShowPanelStrip();
  legend_ = new ModUpdateLegend(this);
  legend_->setObjectName(QStringLiteral("ModUpdateLegend"));
  legend_->hide();

  layout->addWidget(controlsPanel_);
  layout->addWidget(showPanelStrip_);
  layout->addWidget(stringList_, 1);
  layout->addWidget(legend_);
  layout->addWidget(infoPanel_);
}

void MainWindow::buildInfoPanel() {
  infoPanel_ = named<QWidget>("InfoPanel", this);
  auto* sectionLabel = named<QLabel>("SectionLabel", QStringLiteral("Section:"), infoPanel_);
  sectionText_ = named<QLabel>("SectionText", infoPanel_);
  // Which plural form of its message the selected row is.
  pluralFormText_ = named<QLabel>("PluralFormText", infoPanel_);
  pluralFormText_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* subSectionLabel =
      named<QLabel>("SubSectionLabel", QStringLiteral("SubSection:"), infoPanel_);
  subSectionText_ = named<QLabel>("SubSectionText", infoPanel_);
  for (QLabel* label : {sectionText_, subSectionText_}) {
    label->setTextFormat(Qt::PlainText);
    // A long section name is cut at the window's edge; it never widens it.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  }

  // The Mod's language, which decides its plural forms, beside them.
  auto* modLanguageLabel =
      named<QLabel>("ModLanguageLabel", QStringLiteral("Mod language:"), infoPanel_);
  modLanguageLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  modLanguageBox_ = named<ModLanguageBox>("ModLanguageBox", infoPanel_);
  modLanguageLabel->setBuddy(modLanguageBox_);
  modLanguageBox_->setEnabled(false);

  auto* grid = new QGridLayout(infoPanel_);
  grid->addWidget(sectionLabel, 0, 0);
  grid->addWidget(sectionText_, 0, 1);
  grid->addWidget(pluralFormText_, 0, 2, 1, 2);
  grid->addWidget(subSectionLabel, 1, 0);
  grid->addWidget(subSectionText_, 1, 1);
  grid->addWidget(modLanguageLabel, 1, 2);
  grid->addWidget(modLanguageBox_, 1, 3);
  grid->setColumnStretch(1, 1);
  grid->setVerticalSpacing(2);
}

void MainWindow::buildControlsPanel() {
  controlsPanel_ = named<QWidget>("ControlsPanel", this);
  QWidget* panel = controlsPanel_;
  columnCaptions_ = new ColumnCaptions(*stringList_, panel);
  columnCaptions_->setObjectName(QStringLiteral("ColumnCaptions"));

  // Created in the order the Tab key visits them.
  auto* fontLabel = named<QLabel>("FontLabel", QStringLiteral("Font:"), panel);
  auto* modFileLabel = named<QLabel>("ModFileLabel", QStringLiteral("Mod file:"), panel);
  auto* modeLabel = named<QLabel>("ModeLabel", QStringLiteral("Mode:"), panel);
  modifiedCaption_ =
      named<QLabel>("ModifiedCaption", QStringLiteral("Modified String"), columnCaptions_);
  newOriginalLabel_ =
      named<QLabel>("NewOriginalLabel", QStringLiteral("New original file:"), panel);
  newOriginalCaption_ =
      named<QLabel>("NewOriginalCaption", QStringLiteral("New Original String"), columnCaptions_);
  oldOriginalLabel_ =
      named<QLabel>("OldOriginalLabel", QStringLiteral("Old original file:"), panel);
  oldOriginalCaption_ =
      named<QLabel>("OldOriginalCaption", QStringLiteral("Old Original String"), columnCaptions_);
  auto* findLabel = named<QLabel>("FindLabel", QStringLiteral("&Find:"), panel);

  oldOriginalEdit_ = named<QLineEdit>("OldOriginalEdit", panel);
  oldOriginalBrowse_ = named<FittedButton>("OldOriginalBrowse", QStringLiteral("..."), panel);
  newOriginalEdit_ = named<QLineEdit>("NewOriginalEdit", panel);
  newOriginalBrowse_ = named<FittedButton>("NewOriginalBrowse", QStringLiteral("..."), panel);
  modFileEdit_ = named<QLineEdit>("ModFileEdit", panel);
  modFileBrowse_ = named<FittedButton>("ModFileBrowse", QStringLiteral("..."), panel);

  traditionalRadio_ = named<QRadioButton>("TraditionalRadio", QStringLiteral("Traditional"), panel);
  traditionalRadio_->setChecked(true);
  modUpdateRadio_ = named<QRadioButton>("ModUpdateRadio", QStringLiteral("Mod update"), panel);
  openButton_ = named<FittedButton>("OpenButton", QStringLiteral("Open"), panel);
  saveButton_ = named<FittedButton>("SaveButton", QStringLiteral("&Save"), panel);
  exportButton_ = named<FittedButton>("ExportButton", QStringLiteral("&Export"), panel);
  closeButton_ = named<FittedButton>("CloseButton", QStringLiteral("Close"), panel);

  fontNameBox_ = named<QComboBox>("FontNameBox", panel);
  fontSizeBox_ = named<QComboBox>("FontSizeBox", panel);
  fontSizeBox_->setEditable(true);
  fontSizeBox_->setInsertPolicy(QComboBox::NoInsert);
  // Typed sizes apply as typed: "2" must not become "20".
  fontSizeBox_->setCompleter(nullptr);
  fontSizeBox_->addItems({"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26",
                          "28", "36", "48", "72"});
  fontSizeBox_->setCurrentIndex(fontSizeBox_->findText(QStringLiteral("14")));
  fontSizeBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  // The find box takes the room to spare; the font boxes keep what they need.
  for (QComboBox* box : {fontNameBox_, fontSizeBox_}) {
    box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  }

  findEdit_ = named<QLineEdit>("FindEdit", panel);
  findLabel->setBuddy(findEdit_);
  findNextButton_ = named<FittedButton>("FindNextButton", QStringLiteral("->"), panel);

  undoButton_ = named<FittedButton>("UndoButton", QStringLiteral("Undo"), panel);
  redoButton_ = named<FittedButton>("RedoButton", QStringLiteral("Redo"), panel);
  changeSameCheck_ = named<QCheckBox>("ChangeSameCheck", QStringLiteral("C&hange same"), panel);
  searchFolderButton_ =
      named<FittedButton>("SearchFolderButton", QStringLiteral("Search in &folder"), panel);
  debugQmButton_ = named<FittedButton>("DebugQmButton", QStringLiteral("Make \"debug\" QM"), panel);

  for (QPushButton* button : {saveButton_, exportButton_, closeButton_, findNextButton_,
                              undoButton_, redoButton_, debugQmButton_}) {
    button->setEnabled(false);
  }
  for (QPushButton* button : panel->findChildren<QPushButton*>()) button->setAutoDefault(false);

  // The rows top to bottom: the three files, the mode with the commands at
  // the right, the list font and find, the edit controls, the captions.
  auto* files = new QGridLayout;
  const std::array<std::array<QWidget*, 3>, 3> fileRows{{
      {oldOriginalLabel_, oldOriginalEdit_, oldOriginalBrowse_},
      {newOriginalLabel_, newOriginalEdit_, newOriginalBrowse_},
      {modFileLabel, modFileEdit_, modFileBrowse_},
  }};
  for (int line = 0; line < 3; ++line) {
    for (int column = 0; column < 3; ++column) {
      files->addWidget(fileRows[line][column], line, column);
    }
  }
  files->setColumnStretch(1, 1);
  auto* rows = new QVBoxLayout;
  rows->addLayout(files);
  rows->addLayout(row({modeLabel, traditionalRadio_, modUpdateRadio_, nullptr, openButton_,
                       saveButton_, exportButton_, closeButton_}));
  QHBoxLayout* findRow =
      row({fontLabel, fontNameBox_, fontSizeBox_, findLabel, findEdit_, findNextButton_});
  findRow->setStretchFactor(findEdit_, 1);
  rows->addLayout(findRow);
  rows->addLayout(row(
      {undoButton_, redoButton_, changeSameCheck_, nullptr, searchFolderButton_, debugQmButton_}));
  // The captions span the whole width, as the list below them does.
  auto* panelLayout = new QVBoxLayout(panel);
  const QMargins margins = panelLayout->contentsMargins();
  rows->setContentsMargins(margins.left(), 0, margins.right(), 0);
  panelLayout->setContentsMargins(0, margins.top(), 0, 0);
  panelLayout->addLayout(rows);
  panelLayout->addWidget(columnCaptions_);
}

void MainWindow::buildShowPanelStrip() {
  showPanelStrip_ = named<QWidget>("ShowPanelStrip", this);
  auto* stripLayout = new QVBoxLayout(showPanelStrip_);
  stripLayout->setContentsMargins(0, 0, 0, 0);
  auto* label =
      named<QLabel>("ShowPanelLabel", QStringLiteral("Click here to show panel"), showPanelStrip_);
  label->setAlignment(Qt::AlignCenter);
  stripLayout->addWidget(label);
  new ClickFilter(*label, [this] { toggleControlsPanel(); });
  showPanelStrip_->hide();
}

}  // namespace sorvane
