#include "settings_test.h"

#include "app/main_window.h"
#include "app/search_window.h"
#include "app/string_list_view.h"

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <memory>

namespace sorvane::test {

namespace {

// A window started with the settings file, as the program starts.
std::unique_ptr<MainWindow> startWindow(DialogServices& dialogs, const std::u16string& path) {
  auto window = std::make_unique<MainWindow>(dialogs);
  window->restoreSettings({path, path});
  window->showAsRestored();
  return window;
}

QString textOf(const MainWindow& window, const char* name) {
  if (auto* edit = window.findChild<QLineEdit*>(QString::fromLatin1(name))) return edit->text();
  return window.findChild<QComboBox*>(QString::fromLatin1(name))->currentText();
}

}  // namespace

void SettingsTest::writeSettings(std::u16string_view text) const {
  Bytes bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  folder.write("sorvane.ini", bytes);
}

std::u16string SettingsTest::readSettings() const {
  const Bytes bytes = folder.read("sorvane.ini");
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
  }
  return text;
}

void SettingsTest::aRestartBringsBackPathsModeWindowAndFont() {
  writeSettings(u"");
  {
    auto window = startWindow(dialogs, settingsPath());
    window->findChild<QLineEdit*>(QStringLiteral("OldOriginalEdit"))->setText("/a/old.qm");
    window->findChild<QLineEdit*>(QStringLiteral("NewOriginalEdit"))->setText("/a/new.qm");
    window->findChild<QLineEdit*>(QStringLiteral("ModFileEdit"))->setText("/a/mod.qm");
    QTest::mouseClick(window->findChild<QRadioButton*>(QStringLiteral("ModUpdateRadio")),
                      Qt::LeftButton);
    auto* fonts = window->findChild<QComboBox*>(QStringLiteral("FontNameBox"));
    fonts->setCurrentIndex(fonts->count() - 1);
    window->findChild<QComboBox*>(QStringLiteral("FontSizeBox"))->setEditText("18");
    window->setGeometry(40, 50, 700, 500);
    QVERIFY(window->close());
  }
  auto window = startWindow(dialogs, settingsPath());
  QCOMPARE(textOf(*window, "OldOriginalEdit"), QStringLiteral("/a/old.qm"));
  QCOMPARE(textOf(*window, "NewOriginalEdit"), QStringLiteral("/a/new.qm"));
  QCOMPARE(textOf(*window, "ModFileEdit"), QStringLiteral("/a/mod.qm"));
  QVERIFY(window->findChild<QRadioButton*>(QStringLiteral("ModUpdateRadio"))->isChecked());
  auto* fonts = window->findChild<QComboBox*>(QStringLiteral("FontNameBox"));
  QCOMPARE(fonts->currentIndex(), fonts->count() - 1);
  QCOMPARE(textOf(*window, "FontSizeBox"), QStringLiteral("18"));
  QCOMPARE(window->geometry(), QRect(40, 50, 700, 500));
  QVERIFY(!window->isMaximized());
}

void SettingsTest::unknownDuplicateAndMisspelledLinesStayInPlace() {
  writeSettings(
      u"\uFEFFold_orig=bom\r\nzzz=kept=too\r\nForm_left=5\r\nmod=first\r\nmod=second\r\n");
  {
    auto window = startWindow(dialogs, settingsPath());
    // The byte order mark is part of the first name, so old_orig is absent.
    QCOMPARE(textOf(*window, "OldOriginalEdit"), QString());
    QCOMPARE(textOf(*window, "ModFileEdit"), QStringLiteral("first"));
    window->findChild<QLineEdit*>(QStringLiteral("ModFileEdit"))->setText("third");
    QVERIFY(window->close());
  }
  const std::u16string written = readSettings();
  QVERIFY(written.starts_with(
      u"\uFEFFold_orig=bom\r\nzzz=kept=too\r\nForm_left=5\r\nmod=third\r\nmod=second\r\n"
      u"form_left="));
  // Missing keys come after, in the order of writing.
  const std::u16string_view keys[] = {u"form_right=",  u"form_top=",   u"form_bottom=",
                                      u"form_max=0",   u"old_orig=\r", u"new_orig=",
                                      u"mod_update=0", u"list_font=",  u"list_font_size="};
  std::size_t at = 0;
  for (const std::u16string_view keyText : keys) {
    const std::size_t found = written.find(keyText, at);
    QVERIFY2(found != std::u16string::npos,
             qPrintable(QString::fromStdU16String(std::u16string(keyText))));
    at = found;
  }
}

void SettingsTest::numbersAndFontsAreReadAsStored() {
  const struct {
    std::u16string_view modUpdate;
    bool checked;
  } modes[] = {{u"01", true}, {u"+1", true}, {u"2", false}, {u"1x", true}, {u"", false}};
  for (const auto& mode : modes) {
    writeSettings(u"mod_update=" + std::u16string(mode.modUpdate) +
                  u"\r\nlist_font=NO SUCH FONT\r\nlist_font_size=abc\r\n");
    auto window = startWindow(dialogs, settingsPath());
    QCOMPARE(window->findChild<QRadioButton*>(QStringLiteral("ModUpdateRadio"))->isChecked(),
             mode.checked);
    QCOMPARE(window->findChild<QComboBox*>(QStringLiteral("FontNameBox"))->currentIndex(), 0);
    QCOMPARE(textOf(*window, "FontSizeBox"), QStringLiteral("abc"));
  }
  // A name differing only in case is found.
  {
    MainWindow probe(dialogs);
    auto* fonts = probe.findChild<QComboBox*>(QStringLiteral("FontNameBox"));
    const QString last = fonts->itemText(fonts->count() - 1);
    writeSettings(u"list_font=" + last.toUpper().toStdU16String() + u"\r\n");
  }
  auto window = startWindow(dialogs, settingsPath());
  auto* fonts = window->findChild<QComboBox*>(QStringLiteral("FontNameBox"));
  QCOMPARE(fonts->currentIndex(), fonts->count() - 1);
}

void SettingsTest::onlyFormMaxStartsMaximized() {
  writeSettings(u"form_max=1\r\n");
  auto window = startWindow(dialogs, settingsPath());
  QTRY_VERIFY(window->isMaximized());
  // Restored, the zero rectangle gives the smallest window at the top left.
  window->showNormal();
  QTRY_VERIFY(!window->isMaximized());
  // (The platform may keep its window frame on the screen.)
  QVERIFY(window->normalGeometry().topLeft().manhattanLength() <= 4);
  QCOMPARE(window->normalGeometry().size(), window->minimumSize());
}

void SettingsTest::aWindowOffEveryScreenComesBackOntoOne() {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  // Edges far apart (their difference overflows 32 bits) or off every
  // screen: both windows land on the screen.
  const std::u16string_view files[] = {
      u"form_left=-9000\r\nform_right=-8000\r\nform_top=20\r\nform_bottom=700\r\n"
      u"searchform_left=50000\r\nsearchform_right=50400\r\nsearchform_top=0\r\n"
      u"searchform_bottom=300\r\n",
      u"form_left=-2000000000\r\nform_right=2000000000\r\nform_top=-2000000000\r\n"
      u"form_bottom=2000000000\r\nsearchform_left=2000000000\r\nsearchform_right=-2000000000\r\n",
  };
  for (const std::u16string_view file : files) {
    writeSettings(file);
    auto window = startWindow(dialogs, settingsPath());
    QVERIFY(screen.intersects(window->geometry()));
    QVERIFY(screen.intersects(window->searchWindow().geometry()));
  }
  // A stored size larger than the screen (stored at another scale) is
  // fitted into the screen's available area, every edge on it.
  const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
  writeSettings(u"form_left=100\r\nform_right=" + std::u16string(u"4100") +
                u"\r\nform_top=50\r\nform_bottom=3050\r\n");
  auto oversize = startWindow(dialogs, settingsPath());
  QVERIFY(oversize->width() <= available.width() && oversize->height() <= available.height());
  // (The platform may keep its window frame on the screen.)
  QVERIFY(available.adjusted(-4, -4, 4, 4).contains(oversize->geometry()));
  writeSettings(files[0]);
  QCOMPARE(startWindow(dialogs, settingsPath())->width(), std::min(1000, available.width()));
}

void SettingsTest::withoutAStoredFontTheListHasTheDesktopsFont() {
  writeSettings(u"mod=x\r\n");
  auto window = startWindow(dialogs, settingsPath());
  const QFontInfo desktop(QApplication::font());
  QCOMPARE(textOf(*window, "FontNameBox"), desktop.family());
  QCOMPARE(textOf(*window, "FontSizeBox"), QString::number(desktop.pixelSize()));
  QCOMPARE(window->stringList().font().family(), desktop.family());
}

void SettingsTest::withoutAFileTheWindowStartsCentred() {
  auto window = startWindow(dialogs, folder.widePath("none/sorvane.ini"));
  const QRect available = window->screen()->availableGeometry();
  QVERIFY(window->width() >= std::min(available.width() * 2 / 3, 1200) - 1);
  QVERIFY(std::abs(window->geometry().center().x() - available.center().x()) <= 1);
  QVERIFY(window->close());
  // Closing writes the file, making the folder.
  QVERIFY(!folder.read("none/sorvane.ini").empty());
}

}  // namespace sorvane::test
