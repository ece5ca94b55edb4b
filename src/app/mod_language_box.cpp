#include "app/mod_language_box.h"

#include <QLocale>

#include <algorithm>
#include <vector>

namespace sorvane {

namespace {

// The languages most applications are translated into, in that order.
constexpr const char* kUsual[] = {"de",    "fr", "es", "it", "pt_BR", "pt_PT", "ru",
                                  "uk",    "pl", "cs", "nl", "sv",    "da",    "nb",
                                  "fi",    "tr", "ar", "he", "ja",    "ko",    "zh_CN",
                                  "zh_TW", "hu", "ro", "el", "en",    "en_GB"};

QString nameOf(const QString& code) {
  const QLocale locale(code);
  QString language = QLocale::languageToString(locale.language());
  if (!code.contains(QLatin1Char('_'))) return language;
  return QStringLiteral("%1 (%2)").arg(language, QLocale::territoryToString(locale.territory()));
}

}  // namespace

ModLanguageBox::ModLanguageBox(QWidget* parent) : QComboBox(parent) {
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  setMinimumContentsLength(10);
  for (const char* code : kUsual) addLanguage(QString::fromLatin1(code));
  insertSeparator(count());
  std::vector<std::pair<QString, QString>> all;  // name, code
  for (int language = QLocale::C + 1; language <= QLocale::LastLanguage; ++language) {
    const auto value = static_cast<QLocale::Language>(language);
    const QString code = QLocale::languageToCode(value);
    if (!code.isEmpty()) all.emplace_back(QLocale::languageToString(value), code);
  }
  std::sort(all.begin(), all.end());
  for (const auto& [name, code] : all) addItem(QStringLiteral("%1 (%2)").arg(name, code), code);
  setCurrentIndex(-1);
  connect(this, &QComboBox::activated, this, [this](int index) {
    const QString code = itemData(index).toString();
    if (!code.isEmpty()) emit languageChosen(code.toStdString());
  });
}

void ModLanguageBox::addLanguage(const QString& code) {
  addItem(QStringLiteral("%1 (%2)").arg(nameOf(code), code), code);
}

void ModLanguageBox::showLanguage(const std::string& code) {
  if (code.empty()) {
    setCurrentIndex(-1);
    return;
  }
  const QString wanted = QString::fromStdString(code);
  int index = findData(wanted);
  if (index < 0) {
    // A language the lists don't have as it is written ("de_DE"): shown at
    // the top for as long as it is the Mod's.
    insertItem(0, QStringLiteral("%1 (%2)").arg(nameOf(wanted), wanted), wanted);
    index = 0;
  }
  setCurrentIndex(index);
}

}  // namespace sorvane
