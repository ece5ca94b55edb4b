// The plural rules of every language Qt knows, against Qt's own lrelease:
// the same numerus rules bytes, the same number of forms, and the form our
// reading of the rules picks for a count is the one QTranslator shows.

#include "platform/path_codec.h"
#include "qm/plural_rules.h"
#include "support/temp_folder.h"

#include <QLocale>
#include <QString>
#include <QTranslator>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace sorvane::test {
namespace {

// The numerus rules block of a QM file and its first message's forms.
struct Released {
  std::vector<std::uint8_t> rules;
  int forms = 0;
};

std::vector<std::string> languageCodes() {
  std::set<std::string> codes;
  for (int language = QLocale::C + 1; language <= QLocale::LastLanguage; ++language) {
    const QString code = QLocale::languageToCode(static_cast<QLocale::Language>(language));
    if (!code.isEmpty()) codes.insert(code.toStdString());
  }
  // Territories and scripts, older codes, and letter case.
  for (const char* code :
       {"pt_BR", "pt_PT", "pt_AO", "pt_US", "zh_CN", "zh_TW", "sr_Latn_RS", "en_US", "de_DE",
        "fr_CA", "no", "iw", "ji", "tl", "sh", "mo", "in", "RU"}) {
    codes.insert(code);
  }
  return {codes.begin(), codes.end()};
}

class QtPluralRules : public ::testing::Test {
 protected:
  // lrelease of a .ts file of the language with one plural message of six
  // forms "f0" to "f5" (it keeps as many as the language has).
  Released release(const std::string& code) {
    std::string ts =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
        "<TS version=\"2.1\" language=\"" +
        code +
        "\"><context><name>M</name><message numerus=\"yes\"><source>%n x</source>"
        "<translation>";
    for (int form = 0; form < 6; ++form) {
      ts += "<numerusform>f" + std::to_string(form) + "</numerusform>";
    }
    ts += "</translation></message></context></TS>\n";
    std::ofstream(folder.path("p.ts")) << ts;
    const std::string command = std::string("'") + SORVANE_LRELEASE + "' -silent '" +
                                folder.path("p.ts") + "' -qm '" + folder.path("p.qm") + "'";
    if (std::system(command.c_str()) != 0) return {{}, -1};
    std::ifstream in(folder.path("p.qm"), std::ios::binary);
    std::stringstream read;
    read << in.rdbuf();
    const std::string bytes = read.str();
    Released released;
    const auto number = [&bytes](std::size_t at) {
      std::uint32_t value = 0;
      for (std::size_t i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
      return value;
    };
    for (std::size_t at = 16; at + 5 <= bytes.size();) {
      const auto tag = static_cast<unsigned char>(bytes[at]);
      const std::uint32_t length = number(at + 1);
      if (tag == 0x88)
        released.rules.assign(bytes.begin() + at + 5, bytes.begin() + at + 5 + length);
      if (tag == 0x69) {
        for (std::size_t m = at + 5; m < at + 5 + length && bytes[m] == 0x03;) {
          const std::uint32_t n = number(m + 1);
          m += 5 + (n == 0xFFFFFFFF ? 0 : n);
          ++released.forms;
        }
      }
      at += 5 + length;
    }
    return released;
  }

  TempFolder folder;
};

TEST_F(QtPluralRules, EveryLanguageGetsTheRulesLreleaseWrites) {
  int withRules = 0;
  for (const std::string& code : languageCodes()) {
    SCOPED_TRACE(code);
    const Released released = release(code);
    ASSERT_GE(released.forms, 1);
    const std::optional<PluralLanguage> language = pluralLanguage(code);
    ASSERT_TRUE(language.has_value());
    EXPECT_EQ(language->rules, released.rules);
    EXPECT_EQ(language->forms, released.forms);
    withRules += !released.rules.empty();

    QTranslator translator;
    ASSERT_TRUE(translator.load(QString::fromStdString(folder.path("p.qm"))));
    for (int n = 0; n <= 200; ++n) {
      const QString shown = translator.translate("M", "%n x", nullptr, n);
      ASSERT_EQ(shown, QStringLiteral("f%1").arg(pluralFormFor(language->rules, n))) << n;
    }
  }
  EXPECT_GE(withRules, 100);
  EXPECT_FALSE(pluralLanguage("ru-RU").has_value());
  EXPECT_FALSE(pluralLanguage("russian_").has_value());
}

}  // namespace
}  // namespace sorvane::test
