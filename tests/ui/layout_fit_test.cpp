#include "layout_fit_test.h"

#include "app/debug_id_dialog.h"
#include "app/export_dialog.h"
#include "app/search_window.h"
#include "main_window_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLayout>
#include <QTest>

#include <functional>
#include <memory>

namespace sorvane::test {

namespace {

enum class Window { traditional, modUpdate, search, exportDialog, debugId };

// Labels that show data rather than a caption: cut at the window's edge.
bool showsData(const QWidget& widget) {
  const QString name = widget.objectName();
  return name == QLatin1String("SectionText") || name == QLatin1String("SubSectionText") ||
         name == QLatin1String("StatusText");
}

QString captionOf(const QWidget& widget) {
  if (const auto* label = qobject_cast<const QLabel*>(&widget)) return label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) return button->text();
  return {};
}

// Makes every caption 30% longer, as a translation of the interface may
// (in front, as a text length may follow the caption).
void lengthenCaptions(QWidget& window) {
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    const QString caption = captionOf(*widget);
    if (caption.isEmpty() || showsData(*widget)) continue;
    const QString longer = QString((caption.size() * 3 + 9) / 10, QLatin1Char('w')) + caption;
    if (auto* label = qobject_cast<QLabel*>(widget)) label->setText(longer);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) button->setText(longer);
  }
}

bool isControl(const QWidget& widget) {
  return qobject_cast<const QLabel*>(&widget) != nullptr ||
         qobject_cast<const QAbstractButton*>(&widget) != nullptr ||
         qobject_cast<const QComboBox*>(&widget) != nullptr ||
         qobject_cast<const QLineEdit*>(&widget) != nullptr;
}

}  // namespace

QStringList LayoutFitTest::faultsOf(QWidget& window) {
  // At the smallest size the layout allows, where clipping shows first.
  window.resize(1, 1);
  QApplication::processEvents();
  QTest::qWait(1);
  QStringList faults;
  std::vector<std::pair<QString, QRect>> placed;
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    if (!widget->isVisibleTo(&window) || !isControl(*widget)) continue;
    // Controls inside other controls (a combo box's line edit) are theirs.
    if (widget->parentWidget() != nullptr && isControl(*widget->parentWidget())) continue;
    const QString name = widget->objectName();
    const QSize size = widget->size();
    QSize needed = widget->minimumSizeHint();
    if (!showsData(*widget) && !captionOf(*widget).isEmpty()) needed = widget->sizeHint();
    if (qobject_cast<const QComboBox*>(widget) != nullptr) needed = widget->sizeHint();
    if (needed.width() > size.width() || needed.height() > size.height()) {
      faults << QStringLiteral("%1 \"%2\" needs %3x%4, has %5x%6")
                    .arg(name, captionOf(*widget))
                    .arg(needed.width())
                    .arg(needed.height())
                    .arg(size.width())
                    .arg(size.height());
    }
    const QRect rect(widget->mapTo(&window, QPoint(0, 0)), size);
    if (!window.rect().contains(rect)) faults << name + QStringLiteral(" leaves the window");
    for (const auto& [other, otherRect] : placed) {
      if (rect.intersects(otherRect)) faults << name + QStringLiteral(" overlaps ") + other;
    }
    placed.emplace_back(name, rect);
  }
  return faults;
}

void LayoutFitTest::cleanup() { QApplication::setFont(QFont()); }

void LayoutFitTest::everyCaptionFitsAndNoControlsOverlap_data() {
  QTest::addColumn<int>("window");
  QTest::addColumn<QString>("font");
  QTest::addColumn<bool>("longer");
  const std::pair<const char*, Window> windows[] = {{"main window", Window::traditional},
                                                    {"Mod update", Window::modUpdate},
                                                    {"search", Window::search},
                                                    {"export", Window::exportDialog},
                                                    {"debug ID", Window::debugId}};
  for (const auto& [name, window] : windows) {
    for (const char* font : {"", "DejaVu Serif"}) {
      for (const bool longer : {false, true}) {
        QTest::addRow("%s, %s font%s", name, *font != 0 ? font : "desktop",
                      longer ? ", captions 30% longer" : "")
            << static_cast<int>(window) << QString::fromLatin1(font) << longer;
      }
    }
  }
}

void LayoutFitTest::everyCaptionFitsAndNoControlsOverlap() {
  QFETCH(int, window);
  QFETCH(QString, font);
  QFETCH(bool, longer);
  if (!font.isEmpty()) {
    // A wide font, larger than the desktop's.
    QFont wide(font);
    wide.setPointSizeF(QApplication::font().pointSizeF() * 1.25);
    wide.setBold(true);
    QApplication::setFont(wide);
  }
  MainWindowFixture ui;
  std::unique_ptr<QWidget> dialog;
  QWidget* shown = ui.window.get();
  switch (static_cast<Window>(window)) {
    case Window::traditional:
      break;
    case Window::modUpdate: {
      const std::string old = ui.write("old.qm", {{1, u"Hello", "Hello", "Main"}});
      const std::string fresh =
          ui.write("new.qm", {{1, u"Hello!", "Hello", "Main"}, {2, u"Fresh", "Fresh", "Main"}});
      ui.open(fresh, ui.write("mod.qm", {{1, u"Hallo", "Hello", "Main"}}), old);
      ui.list().selectRow(0);
      break;
    }
    case Window::search:
      shown = &ui.window->searchWindow();
      break;
    case Window::exportDialog:
      dialog = std::make_unique<ExportDialog>(ui.window->session(), ui.dialogs,
                                              SessionPaths{u"", u"", u"/home/me/mods/de.qm"},
                                              ui.window.get());
      shown = dialog.get();
      break;
    case Window::debugId:
      dialog = std::make_unique<DebugIdDialog>(QStringLiteral("de_mod"), ui.window.get());
      shown = dialog.get();
      break;
  }
  shown->show();
  if (longer) lengthenCaptions(*shown);
  const QStringList faults = faultsOf(*shown);
  QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("\n"))));
}

}  // namespace sorvane::test
