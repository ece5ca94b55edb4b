// Builds the main window's panels and controls at their design places.

#include "app/anchored_layout.h"
#include "app/main_window.h"
#include "app/string_list_model.h"
#include "app/string_list_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <functional>

namespace sorvane {

namespace {

using Anchor = AnchoredLayout::Anchor;

// The width the panels' coordinates were designed for.
constexpr int kDesignWidth = 406;
constexpr int kControlsPanelHeight = 185;
constexpr int kShowPanelStripHeight = 17;
constexpr int kInfoPanelHeight = 46;
// Push buttons, check boxes and radio buttons at their default height.
constexpr int kDefaultHeight = 22;

template <typename Widget, typename... Args>
Widget* named(const char* name, Args&&... args) {
  auto* widget = new Widget(std::forward<Args>(args)...);
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

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

}  // namespace

void MainWindow::buildControls() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  buildInfoPanel();
  model_ = new StringListModel(session_, this);
  stringList_ = new StringListView(*model_, this);
  buildControlsPanel();
  buildShowPanelStrip();

  layout->addWidget(controlsPanel_);
  layout->addWidget(showPanelStrip_);
  layout->addWidget(stringList_, 1);
  layout->addWidget(infoPanel_);
}

void MainWindow::buildInfoPanel() {
  infoPanel_ = named<QWidget>("InfoPanel", this);
  infoPanel_->setFixedHeight(kInfoPanelHeight);
  auto* anchors = new AnchoredLayout(*infoPanel_, kDesignWidth);
  anchors->place(named<QLabel>("SectionLabel", QStringLiteral("Section:"), infoPanel_),
                 {8, 6, 49, 17}, Anchor::left);
  sectionText_ = named<QLabel>("SectionText", infoPanel_);
  anchors->place(sectionText_, {72, 6, 201, 17}, Anchor::stretched);
  // Which plural form of its message the selected row is.
  pluralFormText_ = named<QLabel>("PluralFormText", infoPanel_);
  pluralFormText_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  anchors->place(pluralFormText_, {275, 6, 123, 17}, Anchor::right);
  anchors->place(named<QLabel>("SubSectionLabel", QStringLiteral("SubSection:"), infoPanel_),
                 {8, 26, 62, 17}, Anchor::left);
  subSectionText_ = named<QLabel>("SubSectionText", infoPanel_);
  anchors->place(subSectionText_, {72, 26, 321, 17}, Anchor::stretched);
  for (QLabel* label : {sectionText_, subSectionText_}) label->setTextFormat(Qt::PlainText);
}

void MainWindow::buildControlsPanel() {
  controlsPanel_ = named<QWidget>("ControlsPanel", this);
  controlsPanel_->setFixedHeight(kControlsPanelHeight);
  QWidget* panel = controlsPanel_;
  controlsLayout_ = new AnchoredLayout(*panel, kDesignWidth);
  AnchoredLayout& at = *controlsLayout_;

  at.place(named<QLabel>("FontLabel", QStringLiteral("Font:"), panel), {8, 111, 29, 17},
           Anchor::left);
  auto* modFileLabel = named<QLabel>("ModFileLabel", QStringLiteral("Mod file:"), panel);
  at.place(modFileLabel, {8, 59, modFileLabel->sizeHint().width(), 17}, Anchor::left);
  at.place(named<QLabel>("ModeLabel", QStringLiteral("Mode:"), panel), {8, 83, 33, 17},
           Anchor::left);
  modifiedCaption_ = named<QLabel>("ModifiedCaption", QStringLiteral("Modified String"), panel);
  at.place(modifiedCaption_, {264, 168, 128, 14}, Anchor::left);
  newOriginalLabel_ =
      named<QLabel>("NewOriginalLabel", QStringLiteral("New original file:"), panel);
  // The file labels may use the room up to their boxes.
  at.place(newOriginalLabel_, {8, 35, 86, 17}, Anchor::left);
  newOriginalCaption_ =
      named<QLabel>("NewOriginalCaption", QStringLiteral("New Original String"), panel);
  at.place(newOriginalCaption_, {136, 168, 128, 14}, Anchor::left);
  oldOriginalLabel_ =
      named<QLabel>("OldOriginalLabel", QStringLiteral("Old original file:"), panel);
  at.place(oldOriginalLabel_, {8, 11, 86, 17}, Anchor::left);
  oldOriginalCaption_ =
      named<QLabel>("OldOriginalCaption", QStringLiteral("Old Original String"), panel);
  at.place(oldOriginalCaption_, {8, 168, 128, 14}, Anchor::left);
  auto* findLabel = named<QLabel>("FindLabel", QStringLiteral("&Find:"), panel);
  at.place(findLabel, {228, 111, 29, 17}, Anchor::left);

  oldOriginalEdit_ = named<QLineEdit>("OldOriginalEdit", panel);
  at.place(oldOriginalEdit_, {96, 8, 273, 20}, Anchor::stretched);
  oldOriginalBrowse_ = named<QPushButton>("OldOriginalBrowse", QStringLiteral("..."), panel);
  at.place(oldOriginalBrowse_, {373, 8, 25, 20}, Anchor::right);
  newOriginalEdit_ = named<QLineEdit>("NewOriginalEdit", panel);
  at.place(newOriginalEdit_, {96, 32, 273, 20}, Anchor::stretched);
  newOriginalBrowse_ = named<QPushButton>("NewOriginalBrowse", QStringLiteral("..."), panel);
  at.place(newOriginalBrowse_, {373, 32, 25, 20}, Anchor::right);
  modFileEdit_ = named<QLineEdit>("ModFileEdit", panel);
  at.place(modFileEdit_, {96, 56, 273, 20}, Anchor::stretched);
  modFileBrowse_ = named<QPushButton>("ModFileBrowse", QStringLiteral("..."), panel);
  at.place(modFileBrowse_, {373, 56, 25, 20}, Anchor::right);

  traditionalRadio_ = named<QRadioButton>("TraditionalRadio", QStringLiteral("Traditional"), panel);
  at.place(traditionalRadio_, {44, 79, 73, kDefaultHeight}, Anchor::left);
  traditionalRadio_->setChecked(true);
  modUpdateRadio_ = named<QRadioButton>("ModUpdateRadio", QStringLiteral("Mod update"), panel);
  at.place(modUpdateRadio_, {116, 79, 80, kDefaultHeight}, Anchor::left);

  openButton_ = named<QPushButton>("OpenButton", QStringLiteral("Open"), panel);
  at.place(openButton_, {196, 80, 49, 20}, Anchor::right);
  saveButton_ = named<QPushButton>("SaveButton", QStringLiteral("&Save"), panel);
  at.place(saveButton_, {247, 80, 49, 20}, Anchor::right);
  exportButton_ = named<QPushButton>("ExportButton", QStringLiteral("&Export"), panel);
  at.place(exportButton_, {298, 80, 49, 20}, Anchor::right);
  closeButton_ = named<QPushButton>("CloseButton", QStringLiteral("Close"), panel);
  at.place(closeButton_, {349, 80, 49, 20}, Anchor::right);

  QFont smallFont = font();
  smallFont.setPixelSize(12);
  fontNameBox_ = named<QComboBox>("FontNameBox", panel);
  fontNameBox_->setFont(smallFont);
  at.place(fontNameBox_, {38, 108, 129, 20}, Anchor::left);
  fontSizeBox_ = named<QComboBox>("FontSizeBox", panel);
  fontSizeBox_->setEditable(true);
  fontSizeBox_->setInsertPolicy(QComboBox::NoInsert);
  // Typed sizes apply as typed: "2" must not become "20".
  fontSizeBox_->setCompleter(nullptr);
  fontSizeBox_->setFont(smallFont);
  fontSizeBox_->addItems({"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26",
                          "28", "36", "48", "72"});
  fontSizeBox_->setCurrentIndex(fontSizeBox_->findText(QStringLiteral("14")));
  at.place(fontSizeBox_, {167, 108, 47, 20}, Anchor::left);

  findEdit_ = named<QLineEdit>("FindEdit", panel);
  // Every text box ends 4 pixels left of the button beside it, the find box
  // too (the window's first size change already makes it 111 wide).
  at.place(findEdit_, {258, 108, 111, 20}, Anchor::stretched);
  findLabel->setBuddy(findEdit_);
  findNextButton_ = named<QPushButton>("FindNextButton", QStringLiteral("->"), panel);
  at.place(findNextButton_, {373, 108, 25, 20}, Anchor::right);

  undoButton_ = named<QPushButton>("UndoButton", QStringLiteral("Undo"), panel);
  at.place(undoButton_, {8, 136, 41, kDefaultHeight}, Anchor::left);
  redoButton_ = named<QPushButton>("RedoButton", QStringLiteral("Redo"), panel);
  at.place(redoButton_, {56, 136, 41, kDefaultHeight}, Anchor::left);
  changeSameCheck_ = named<QCheckBox>("ChangeSameCheck", QStringLiteral("C&hange same"), panel);
  at.place(changeSameCheck_, {104, 136, 89, kDefaultHeight}, Anchor::left);
  searchFolderButton_ =
      named<QPushButton>("SearchFolderButton", QStringLiteral("Search in &folder"), panel);
  at.place(searchFolderButton_, {200, 136, 89, kDefaultHeight}, Anchor::right);
  debugQmButton_ = named<QPushButton>("DebugQmButton", QStringLiteral("Make \"debug\" QM"), panel);
  at.place(debugQmButton_, {296, 136, 102, kDefaultHeight}, Anchor::right);

  for (QPushButton* button : {saveButton_, exportButton_, closeButton_, findNextButton_,
                              undoButton_, redoButton_, debugQmButton_}) {
    button->setEnabled(false);
  }
  for (QPushButton* button : panel->findChildren<QPushButton*>()) button->setAutoDefault(false);
}

void MainWindow::buildShowPanelStrip() {
  showPanelStrip_ = named<QWidget>("ShowPanelStrip", this);
  showPanelStrip_->setFixedHeight(kShowPanelStripHeight);
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
