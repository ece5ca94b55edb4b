#pragma once

#include <QComboBox>

#include <string>

namespace sorvane {

// "Mod language": the languages by name and code, the usual ones first,
// then every language Qt knows by name. Choosing one asks to give the Mod
// that language; the box shows the Mod's language, also one not listed.
class ModLanguageBox : public QComboBox {
  Q_OBJECT

 public:
  explicit ModLanguageBox(QWidget* parent = nullptr);

  // Shows a language code ("ru_RU"); empty shows nothing.
  void showLanguage(const std::string& code);

 signals:
  // The user chose a language, by its code.
  void languageChosen(const std::string& code);

 private:
  void addLanguage(const QString& code);
};

}  // namespace sorvane
