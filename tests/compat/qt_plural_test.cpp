// Plural messages made by Qt's lrelease: every form has its row, forms pair
// by number, a form one file lacks can be added, and Qt reads them back.

#include "platform/path_codec.h"
#include "qm/plural_rules.h"
#include "qm/qm_reader.h"
#include "session/editing.h"
#include "session/mod_file_saving.h"
#include "session/row_problems.h"
#include "session/row_states.h"
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
  // A .ts file with a plain message and a plural one in the given forms,
  // and further plural messages of context Main: source and forms.
  using Plurals = std::vector<std::pair<std::string, std::vector<std::string>>>;
  std::u16string release(const std::string& name, const std::string& language,
                         const std::vector<std::string>& forms, bool compress = false,
                         const Plurals& more = {}, const std::string& open = "Open it") {
    std::string ts =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
        "<TS version=\"2.1\" language=\"" +
        language +
        "\">\n<context>\n"
        "  <name>Main</name>\n"
        "  <message><source>Open</source><comment>verb</comment>"
        "<translation>" +
        open +
        "</translation></message>\n"
        "  <message><source>Close</source>"
        "<translation></translation></message>\n"
        "  <message numerus=\"yes\"><source>%n file(s)</source><translation>";
    for (const std::string& form : forms) ts += "<numerusform>" + form + "</numerusform>";
    ts += "</translation></message>\n";
    for (const auto& [source, moreForms] : more) {
      ts += "  <message numerus=\"yes\"><source>" + source + "</source><translation>";
      for (const std::string& form : moreForms) ts += "<numerusform>" + form + "</numerusform>";
      ts += "</translation></message>\n";
    }
    ts += "</context>\n</TS>\n";
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

  QString translate(const std::u16string& path, int n, const char* source = "%n file(s)") {
    QTranslator translator;
    if (!translator.load(QString::fromStdString(nativePath(path)))) return QStringLiteral("?");
    return translator.translate("Main", source, nullptr, n);
  }

  // The rows of the plural message with the source text.
  std::vector<std::int32_t> rowsOf(std::string_view source) const {
    std::vector<std::int32_t> rows;
    for (std::int32_t row = 0; row < session.rowCount(); ++row) {
      if (session.rowSectionText(row) == source) rows.push_back(row);
    }
    return rows;
  }

  Bytes saved(SessionPaths& paths, const std::string& name) {
    paths.mod = folder.widePath(name);
    EXPECT_TRUE(writeModFile(session, paths, dialogs));
    return folder.read(name);
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
    // The third form, which English lacks, is checked against the first.
    session.setRowModText(pluralRows[2], u"fajlov");
    RowProblems problems;
    problems.checkAll(session);
    EXPECT_EQ(problems.rowsWithProblems(), 1);
    EXPECT_EQ(problems.problemsOf(pluralRows[2]).at(0).check, CheckKind::placeMarkers);
    session.setRowModText(pluralRows[2], u"%n fajlov");

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

// The commonest job: translating an English application into a language it
// doesn't ship. The Mod's language decides its plural forms; every count
// shows the right one in Qt, and undoing everything saves the untouched file.
TEST_F(QtPlural, ANewModInAnotherLanguageGetsThatLanguagesForms) {
  const struct Case {
    const char* code;
    std::int32_t forms;
    std::int32_t rows;  // of the plural message: the more of English's 2 and the language's
  } cases[] = {{"ru", 3, 3}, {"ar", 6, 6}, {"ja", 1, 2}, {"pl", 3, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    SessionPaths paths{u"", release("en", "en_US", {"%n file", "%n files"}), u""};
    ASSERT_TRUE(session.openSession(SessionMode::traditional, paths, dialogs));
    const Bytes untouched = saved(paths, "untouched.qm");
    const std::optional<PluralLanguage> language = pluralLanguage(c.code);
    ASSERT_TRUE(language);
    EXPECT_EQ(session.formsDroppedBy(*language), c.forms == 1 ? 1 : 0);
    ASSERT_TRUE(changeModLanguage(session, *language));
    EXPECT_EQ(session.modLanguage(), c.code);
    const std::vector<std::int32_t> rows = rowsOf("%n file(s)");
    ASSERT_EQ(static_cast<std::int32_t>(rows.size()), c.rows);
    for (std::int32_t k = 0; k < c.rows; ++k) {
      EXPECT_EQ(session.rowModEditable(rows[k]), k < c.forms) << k;
      commitEdit(session, rows[k], u"F" + std::u16string(1, static_cast<char16_t>(u'0' + k)),
                 false);
    }
    const Bytes translated = saved(paths, "translated.qm");
    for (int n = 0; n <= 200; ++n) {
      ASSERT_EQ(translate(paths.mod, n),
                QStringLiteral("F%1").arg(pluralFormFor(language->rules, n)))
          << n;
    }
    while (undo(session)) {
    }
    EXPECT_EQ(saved(paths, "undone.qm"), untouched);
    while (redo(session)) {
    }
    EXPECT_EQ(saved(paths, "redone.qm"), translated);
    session.resetSession();
    session.undoLog().clear();
  }
}

// The usual update of a Russian Mod to a new English version: every form
// row of a message has the message's colour, a new plural message has all
// three Russian forms, and deleting and undoing puts a message back exactly.
TEST_F(QtPlural, AModUpdateColoursMessagesAndGivesNewOnesTheModsForms) {
  const Plurals oldMore = {{"%n folder(s)", {"%n folder", "%n folders"}}};
  const Plurals newMore = {{"%n item(s)", {"%n item", "%n items"}}};
  const Plurals modMore = {{"%n folder(s)", {"%n papka", "%n papki", "%n papok"}},
                           {"%n thing(s)", {"%n vesch", "%n veschi", "%n veschej"}}};
  SessionPaths paths{release("old", "en_US", {"%n file", "%n files"}, false, oldMore),
                     release("new", "en_US", {"%n file", "%n files"}, false, newMore, "Open it..."),
                     release("mod", "ru_RU", {"%n fajl", "%n fajla", "%n fajlov"}, false, modMore)};
  ASSERT_TRUE(session.openSession(SessionMode::modUpdate, paths, dialogs));
  const struct {
    const char* source;
    RowState state;
  } messages[] = {{"%n file(s)", RowState::unchanged},
                  {"%n item(s)", RowState::newString},
                  {"%n folder(s)", RowState::dropped},
                  {"%n thing(s)", RowState::onlyInMod}};
  for (const auto& message : messages) {
    const std::vector<std::int32_t> rows = rowsOf(message.source);
    ASSERT_EQ(rows.size(), 3U) << message.source;
    for (const std::int32_t row : rows) EXPECT_EQ(session.rowState(row), message.state) << row;
  }
  EXPECT_EQ(session.rowState(rowsOf("Open")[0]), RowState::changed);
  EXPECT_EQ(countRowStates(session), (RowStateCounts{3, 3, 1, 3}));
  // Ctrl+J's walk: from the changed row through every coloured one.
  std::int32_t walked = 0;
  for (std::optional<std::int32_t> row = nearestRowInState(session, -1, std::nullopt, false);
       row && walked < 20; row = nearestRowInState(session, *row, std::nullopt, false)) {
    if (++walked > 1 && *row == rowsOf("Open")[0]) break;
  }
  EXPECT_EQ(walked, 11);

  // A new message gets its first form only: the others stay "no
  // translation"; deleting it and undoing gives the same file.
  const std::vector<std::int32_t> item = rowsOf("%n item(s)");
  ASSERT_TRUE(commitEdit(session, item[0], u"%n predmet", false));
  const Bytes one = saved(paths, "one.qm");
  // "No translation" forms are written as lrelease writes unfinished ones:
  // Qt shows the source text for the message until every form has one.
  EXPECT_TRUE(translate(paths.mod, 1, "%n item(s)").isNull());
  EXPECT_TRUE(translate(paths.mod, 5, "%n item(s)").isNull());
  ASSERT_TRUE(deleteRowText(session, item[0]));
  EXPECT_EQ(session.rowState(item[2]), RowState::newString);
  ASSERT_TRUE(undo(session));
  EXPECT_EQ(saved(paths, "undone.qm"), one);

  ASSERT_TRUE(commitEdit(session, item[1], u"%n predmeta", false));
  ASSERT_TRUE(commitEdit(session, item[2], u"%n predmetov", false));
  saved(paths, "updated.qm");
  const std::pair<int, const char*> shown[] = {{1, "%n predmet"},
                                               {3, "%n predmeta"},
                                               {5, "%n predmetov"},
                                               {21, "%n predmet"},
                                               {0, "%n predmetov"}};
  for (const auto& [n, text] : shown) {
    EXPECT_EQ(translate(paths.mod, n, "%n item(s)"), QString::fromUtf8(text)) << n;
  }
  // A deleted Mod-only message is in none of the files: white, counted nowhere.
  for (const std::int32_t row : rowsOf("%n thing(s)")) deleteRowText(session, row);
  for (const std::int32_t row : rowsOf("%n thing(s)")) {
    EXPECT_EQ(session.rowState(row), RowState::unchanged);
  }
  EXPECT_EQ(countRowStates(session)[static_cast<std::size_t>(RowState::onlyInMod)], 0);
}

// A U+0000 in a form (pasted into the editor) ends that form's text; the
// forms after it stay where they are.
TEST_F(QtPlural, AZeroUnitInAFormShiftsNoOtherForm) {
  SessionPaths paths{u"", release("en", "en_US", {"%n file", "%n files"}),
                     release("ru", "ru_RU", {"%n fajl", "%n fajla", "%n fajlov"})};
  ASSERT_TRUE(session.openSession(SessionMode::traditional, paths, dialogs));
  const std::vector<std::int32_t> rows = rowsOf("%n file(s)");
  ASSERT_EQ(rows.size(), 3U);
  ASSERT_TRUE(commitEdit(session, rows[1], storedForm(std::u16string(u"two\0tail", 8)), false));
  saved(paths, "saved.qm");
  EXPECT_EQ(translate(paths.mod, 3), QStringLiteral("two"));
  EXPECT_EQ(translate(paths.mod, 7), QStringLiteral("%n fajlov"));
}

}  // namespace
}  // namespace sorvane::test
