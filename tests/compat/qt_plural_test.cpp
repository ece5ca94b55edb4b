// Plural messages made by Qt's lrelease: every form has its row, forms pair
// by number, a form one file lacks can be added, and Qt reads them back.

#include "platform/path_codec.h"
#include "qm/qm_reader.h"
#include "session/mod_file_saving.h"
#include "session/session.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <QString>
#include <QTranslator>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;

class QtPlural : public ::testing::Test {
 protected:
  // A .ts file with a plain message and a plural one in the given forms.
  std::u16string release(const std::string& name, const std::string& language,
                         const std::vector<std::string>& forms, bool compress = false) {
    std::string ts =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
        "<TS version=\"2.1\" language=\"" +
        language +
        "\">\n<context>\n"
        "  <name>Main</name>\n"
        "  <message><source>Open</source><comment>verb</comment>"
        "<translation>Open it</translation></message>\n"
        "  <message><source>Close</source>"
        "<translation></translation></message>\n"
        "  <message numerus=\"yes\"><source>%n file(s)</source><translation>";
    for (const std::string& form : forms) ts += "<numerusform>" + form + "</numerusform>";
    ts += "</translation></message>\n</context>\n</TS>\n";
    std::ofstream(folder.path(name + ".ts")) << ts;
    const std::string command = std::string("'") + SORVANE_LRELEASE + "' -silent " +
                                (compress ? "-compress " : "") + "'" + folder.path(name + ".ts") +
                                "' -qm '" + folder.path(name + ".qm") + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return folder.widePath(name + ".qm");
  }

  std::vector<std::u16string> column(std::u16string_view (Session::*text)(std::int32_t) const) {
    std::vector<std::u16string> texts;
    for (std::int32_t row = 0; row < session.rowCount(); ++row) {
      texts.emplace_back((session.*text)(row));
    }
    return texts;
  }

  QString translate(const std::u16string& path, int n) {
    QTranslator translator;
    if (!translator.load(QString::fromStdString(nativePath(path)))) return QStringLiteral("?");
    return translator.translate("Main", "%n file(s)", nullptr, n);
  }

  TempFolder folder;
  RecordingDialogServices dialogs;
  Session session;
};

TEST_F(QtPlural, AnEnglishOriginalAndARussianModShowEveryFormAndSaveAllThree) {
  for (const bool compress : {false, true}) {
    SCOPED_TRACE(compress ? "compressed" : "plain");
    SessionPaths paths{u"", release("en", "en_US", {"%n file", "%n files"}, compress),
                       release("ru", "ru_RU", {"%n fajl", "%n fajla", "%n fajlov"}, compress)};
    ASSERT_TRUE(session.openSession(SessionMode::traditional, paths, dialogs));
    // Rows follow the index, sorted by hash; find the plural message's rows.
    std::vector<std::int32_t> pluralRows;
    for (std::int32_t row = 0; row < session.rowCount(); ++row) {
      if (session.rowFormCount(row) == 3) pluralRows.push_back(row);
    }
    ASSERT_EQ(session.rowCount(), 5);
    ASSERT_EQ(pluralRows.size(), 3U);
    for (std::int32_t k = 0; k < 3; ++k) EXPECT_EQ(session.rowForm(pluralRows[k]), k);
    EXPECT_EQ(session.rowOriginalText(pluralRows[1]), u"%n files");
    EXPECT_EQ(session.rowOriginalText(pluralRows[2]), u"");
    EXPECT_EQ(session.rowModText(pluralRows[2]), u"%n fajlov");

    session.setRowModText(pluralRows[1], u"%n fajla!");
    paths.mod = folder.widePath("saved.qm");
    ASSERT_TRUE(writeModFile(session, paths, dialogs));
    // Russian rules, from the Mod's own language: 1, 2 to 4, 5 and more.
    EXPECT_EQ(translate(paths.mod, 1), QStringLiteral("%n fajl"));
    EXPECT_EQ(translate(paths.mod, 3), QStringLiteral("%n fajla!"));
    EXPECT_EQ(translate(paths.mod, 7), QStringLiteral("%n fajlov"));
    session.resetSession();
  }
}

// The usual update: a Russian translation of an English application is
// carried over to its next English version.
TEST_F(QtPlural, AModUpdateCarriesARussianModOverToTheNewEnglishOriginal) {
  const std::u16string oldOriginal = release("old", "en_US", {"%n file", "%n files"});
  const std::u16string newOriginal = release("new", "en_US", {"%n file", "%n files"});
  const std::u16string mod = release("mod", "ru_RU", {"%n fajl", "%n fajla", "%n fajlov"});
  SessionPaths paths{oldOriginal, newOriginal, mod};
  ASSERT_TRUE(session.openSession(SessionMode::modUpdate, paths, dialogs));
  std::vector<std::int32_t> pluralRows;
  for (std::int32_t row = 0; row < session.rowCount(); ++row) {
    if (session.rowFormCount(row) == 3) pluralRows.push_back(row);
  }
  ASSERT_EQ(pluralRows.size(), 3U);
  EXPECT_EQ(session.rowModText(pluralRows[2]), u"%n fajlov");
  session.setRowModText(pluralRows[1], u"%n fajla!");

  paths.mod = folder.widePath("updated.qm");
  ASSERT_TRUE(writeModFile(session, paths, dialogs));
  // Russian rules: 1, 21 one form; 2 to 4 and 22 the second; 0, 5 to 20 the third.
  const std::pair<int, const char*> shown[] = {
      {1, "%n fajl"},   {21, "%n fajl"},  {3, "%n fajla!"}, {22, "%n fajla!"},
      {0, "%n fajlov"}, {7, "%n fajlov"}, {11, "%n fajlov"}};
  for (const auto& [n, text] : shown)
    EXPECT_EQ(translate(paths.mod, n), QString::fromUtf8(text)) << n;
}

TEST_F(QtPlural, UnfinishedMessagesStayWithoutTranslationUntilTheyGetOne) {
  SessionPaths paths{u"", release("en", "en_US", {"%n file", "%n files"}), u""};
  ASSERT_TRUE(session.openSession(SessionMode::traditional, paths, dialogs));
  std::int32_t close = -1;
  for (std::int32_t row = 0; row < session.rowCount(); ++row) {
    if (session.rowSectionText(row) == "Close") close = row;
  }
  ASSERT_GE(close, 0);
  EXPECT_EQ(session.rowModText(close), u"");
  paths.mod = folder.widePath("saved.qm");
  ASSERT_TRUE(writeModFile(session, paths, dialogs));
  QmDocument saved;
  ASSERT_TRUE(readQmFile(paths.mod, saved, {}, dialogs));
  std::int32_t absent = 0;
  for (std::int32_t i = 0; i < saved.translations.count(); ++i) absent += saved.forms.absent(i, 0);
  EXPECT_EQ(absent, 1);
  QTranslator translator;
  ASSERT_TRUE(translator.load(QString::fromStdString(nativePath(paths.mod))));
  EXPECT_TRUE(translator.translate("Main", "Close").isNull());
  EXPECT_EQ(translator.translate("Main", "Open", "verb"), QStringLiteral("Open it"));
}

}  // namespace
}  // namespace sorvane::test
