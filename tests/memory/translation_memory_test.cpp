#include "memory/translation_memory.h"

#include "memory/memory_sources.h"
#include "platform/path_codec.h"
#include "platform/utf8.h"
#include "support/qm_bytes_builder.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <thread>

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::string narrow(std::u16string_view text) { return toUtf8(text); }

class MemoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    memory = TranslationMemory::open(folder.widePath("memory.sqlite"), error, 100);
    ASSERT_TRUE(memory) << narrow(error);
  }
  std::int64_t add(const std::vector<MemorySegment>& segments, std::u16string_view origin = u"a") {
    const std::optional<std::int64_t> added = memory->add(segments, origin, error);
    EXPECT_TRUE(added) << narrow(error);
    return added.value_or(-1);
  }
  std::vector<std::u16string> targets(std::u16string_view text, std::string language = "de",
                                      std::string context = {}) {
    MemoryLookup query;
    query.targetLanguage = std::move(language);
    query.context = std::move(context);
    std::vector<std::u16string> found;
    const std::optional<std::vector<MemorySuggestion>> suggestions =
        memory->lookup(text, query, error);
    EXPECT_TRUE(suggestions) << narrow(error);
    for (const MemorySuggestion& s : suggestions.value_or(std::vector<MemorySuggestion>{})) {
      found.push_back(s.target);
    }
    return found;
  }
  std::vector<std::string> everySegment(TranslationMemory& from) {
    std::vector<std::string> all;
    EXPECT_TRUE(from.forEachSegment(
        [&all](const MemorySegment& s) {
          all.push_back(narrow(s.source) + "|" + s.sourceLanguage + "|" + narrow(s.target) + "|" +
                        s.targetLanguage + "|" + s.context);
          return true;
        },
        error));
    return all;
  }

  TempFolder folder;
  std::u16string error;
  std::unique_ptr<TranslationMemory> memory;
};

TEST_F(MemoryTest, KeepsEachSegmentOnceAndFindsItsLikesBestFirst) {
  const std::vector<MemorySegment> segments = {
      {u"Open file", "en", u"Datei öffnen", "de_DE", "Main"},
      {u"Open the file", "en", u"Die Datei öffnen", "de", "Main"},
      {u"Open file", "en", u"Открыть файл", "ru", "Main"},
      {u"Close window", "en", u"Fenster schließen", "de", "Main"},
      {u"Untranslated", "en", u"", "de", "Main"},
  };
  EXPECT_EQ(add(segments), 4);
  EXPECT_EQ(add(segments, u"b"), 0);
  EXPECT_EQ(memory->segmentCount(error), 4);

  // Another region of the language matches; another language does not.
  EXPECT_THAT(targets(u"Open file"), ElementsAre(u"Datei öffnen"));
  EXPECT_THAT(targets(u"Open files", "de_AT"), ElementsAre(u"Datei öffnen"));
  EXPECT_THAT(targets(u"Open the files"), ElementsAre(u"Die Datei öffnen"));
  EXPECT_THAT(targets(u"&Open File", "ru"), ElementsAre(u"Открыть файл"));
  EXPECT_THAT(targets(u"Something else entirely"), ElementsAre());
  EXPECT_THAT(targets(u"Open file", "fr"), ElementsAre());

  MemoryLookup query;
  query.targetLanguage = "de";
  const std::vector<MemorySuggestion> found = memory->lookup(u"Open file", query, error).value();
  ASSERT_EQ(found.size(), 1U);
  EXPECT_EQ(found[0].score, 100);
  EXPECT_EQ(found[0].origin, u"a");
  EXPECT_EQ(found[0].context, "Main");
}

TEST_F(MemoryTest, ExactMatchesPreferTheContextAskedFor) {
  add({{u"Open", "en", u"Öffnen", "de", "Menu"},
       {u"Open", "en", u"Offen", "de", "State"},
       {u"&Open", "en", u"Ö&ffnen", "de", "Menu"}});
  MemoryLookup query;
  query.targetLanguage = "de";
  query.context = "State";
  const std::vector<MemorySuggestion> exact = memory->exactMatches(u"Open", query, error).value();
  ASSERT_EQ(exact.size(), 2U);
  EXPECT_EQ(exact[0].target, u"Offen");
  EXPECT_EQ(exact[1].target, u"Öffnen");
  EXPECT_THAT(targets(u"Open", "de", "State"), ElementsAre(u"Offen", u"Öffnen", u"Ö&ffnen"));
  // A translation corrected later comes first among equals.
  add({{u"Open", "en", u"Aufmachen", "de", "Menu"}});
  query.context = "Menu";
  EXPECT_EQ(memory->exactMatches(u"Open", query, error).value().front().target, u"Aufmachen");
}

TEST_F(MemoryTest, AFileThatIsNoMemoryOrIsLockedGivesItsReason) {
  const std::u16string damaged = folder.write("damaged.sqlite", bytesOf(std::string(4096, 'x')));
  std::u16string reason;
  EXPECT_FALSE(TranslationMemory::open(damaged, reason, 50));
  EXPECT_THAT(narrow(reason), HasSubstr("not a database"));

  // Another program holds the file for itself.
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open((folder.path() + "/locked.sqlite").c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other,
                         "PRAGMA locking_mode=EXCLUSIVE; CREATE TABLE t(x); BEGIN EXCLUSIVE; "
                         "INSERT INTO t VALUES(1);",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  reason.clear();
  EXPECT_FALSE(TranslationMemory::open(folder.widePath("locked.sqlite"), reason, 50));
  EXPECT_THAT(narrow(reason), HasSubstr("locked"));
  sqlite3_close(other);
}

// One small file of each kind the memory learns from.
constexpr std::string_view kPo =
    "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
    "\"Language: de\\n\"\n\n"
    "msgctxt \"Dialog\"\nmsgid \"Cancel\"\nmsgstr \"Abbrechen\"\n\n"
    "#, fuzzy\nmsgid \"Maybe\"\nmsgstr \"Vielleicht\"\n\n"
    "msgid \"%n file\"\nmsgid_plural \"%n files\"\nmsgstr[0] \"%n Datei\"\n"
    "msgstr[1] \"%n Dateien\"\n";
constexpr std::string_view kXliff =
    "<?xml version=\"1.0\"?>\n<xliff version=\"1.2\"><file source-language=\"en\" "
    "target-language=\"de-DE\" original=\"x\"><body>"
    "<trans-unit id=\"u1\"><source>Print</source><target>Drucken</target></trans-unit>"
    "<trans-unit id=\"u2\"><source>Left</source><target/></trans-unit>"
    "</body></file></xliff>\n";
constexpr std::string_view kTs =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\" "
    "language=\"de_DE\"><context><name>MainWindow</name>"
    "<message><source>Quit</source><translation>Beenden</translation></message>"
    "<message><source>Gone</source><translation type=\"vanished\">Weg</translation></message>"
    "</context></TS>\n";
constexpr std::string_view kTmx =
    "<?xml version=\"1.0\"?>\n<tmx version=\"1.4\"><header srclang=\"en\" segtype=\"sentence\"/>"
    "<body><tu><prop type=\"x-context\">Edit</prop><tuv xml:lang=\"en\"><seg>Copy <ph>&lt;b&gt;"
    "</ph>all</seg></tuv><tuv xml:lang=\"de\"><seg>Alles kopieren</seg></tuv>"
    "<tuv xml:lang=\"fr\"><seg>Tout copier</seg></tuv></tu></body></tmx>\n";

TEST_F(MemoryTest, LearnsEachKindOfFileOnce) {
  const std::vector<std::u16string> files = {
      folder.write("app_de.qm",
                   buildQm({{1, u"Datei", "File", "Menu"}, {2, u"", "Empty", "Menu"}})),
      folder.write("app.po", bytesOf(kPo)),
      folder.write("app.xlf", bytesOf(kXliff)),
      folder.write("app.ts", bytesOf(kTs)),
      folder.write("app.tmx", bytesOf(kTmx)),
  };
  const MemoryImportReport first = importIntoMemory(*memory, files, {});
  EXPECT_THAT(first.failures, ElementsAre());
  EXPECT_EQ(first.files, 5);
  EXPECT_EQ(first.added, 8);
  const MemoryImportReport again = importIntoMemory(*memory, files, {});
  EXPECT_EQ(again.segments, first.segments);
  EXPECT_EQ(again.added, 0);
  EXPECT_THAT(
      everySegment(*memory),
      ElementsAre("File|en|Datei|de|Menu", "Cancel|en|Abbrechen|de|Dialog",
                  "%n file|en|%n Datei|de|", "%n files|en|%n Dateien|de|",
                  "Print|en|Drucken|de_DE|u1", "Quit|en|Beenden|de_DE|MainWindow",
                  "Copy <b>all|en|Alles kopieren|de|Edit", "Copy <b>all|en|Tout copier|fr|Edit"));
  // The folder gives the same files, in name order, and nothing new.
  EXPECT_EQ(memorySourceFiles(folder.widePath("")).size(), 5U);
  EXPECT_EQ(importIntoMemory(*memory, memorySourceFiles(folder.widePath("")), {}).added, 0);
}

TEST_F(MemoryTest, AFileWithoutALanguageOrNotReadableIsReported) {
  const std::vector<std::u16string> files = {
      folder.write("nolanguage.qm", buildQm({{1, u"Datei", "File", "Menu"}})),
      folder.write("broken.tmx", bytesOf("<tmx><body><tu>")),
  };
  MemoryImportReport report = importIntoMemory(*memory, files, {});
  ASSERT_EQ(report.failures.size(), 2U);
  EXPECT_THAT(narrow(report.failures[0]), HasSubstr("names no language"));
  EXPECT_THAT(narrow(report.failures[1]), HasSubstr("can't be parsed"));
  report = importIntoMemory(*memory, std::vector{files[0]},
                            {.sourceLanguage = "en", .targetLanguage = "uk"});
  EXPECT_EQ(report.added, 1);
  EXPECT_THAT(narrow(memoryImportReportText(report)), HasSubstr("New to the memory: 1"));
}

TEST_F(MemoryTest, ATmxFileBringsEverySegmentBackExactly) {
  add({{u"Line\none\ttab", "en", u"Zeile\r\neins", "de", "Ctx \"q\" <&>"},
       {u"Bell\u0007 & <tag>", "en_GB", u"Klingel\u0007", "de_AT", ""},
       {u"Emoji \U0001F600", "en", u"Emoji \U0001F600", "ja", "x"}});
  ASSERT_EQ(writeTmx(*memory, folder.widePath("out.tmx"), error), 0) << narrow(error);
  std::unique_ptr<TranslationMemory> second =
      TranslationMemory::open(folder.widePath("second.sqlite"), error);
  ASSERT_TRUE(second);
  const MemoryImportReport report =
      importIntoMemory(*second, std::vector{folder.widePath("out.tmx")}, {});
  EXPECT_THAT(report.failures, ElementsAre());
  EXPECT_EQ(report.added, 3);
  EXPECT_EQ(everySegment(*second), everySegment(*memory));
}

TEST_F(MemoryTest, FindsLikeTextsInOtherScriptsAndOnlyExactOnesWhenTooShort) {
  add({{u"Открыть файл", "ru", u"Datei öffnen", "de", ""},
       {u"ファイルを開く", "ja", u"Datei öffnen", "de", ""},
       {u"OK", "en", u"OK", "de", "A"},
       {u"Ok", "en", u"Okay", "de", "B"},
       {u"On", "en", u"Ein", "de", ""}});
  EXPECT_THAT(targets(u"Открыть файлы"), ElementsAre(u"Datei öffnen"));
  EXPECT_THAT(targets(u"ファイルを開く。"), ElementsAre(u"Datei öffnen"));
  // Two letters have no trigram: their case-folded equals only.
  EXPECT_THAT(targets(u"ok"), ElementsAre(u"Okay", u"OK"));
  EXPECT_THAT(targets(u"Of"), ElementsAre());
}

TEST_F(MemoryTest, GivesAtMostTheLimitOneATranslationAboveTheThreshold) {
  std::vector<MemorySegment> segments;
  for (int i = 0; i < 12; ++i) {
    const std::u16string n = fromUtf8(std::to_string(i));
    segments.push_back(
        {u"Remove the selected item " + n, "en", u"Eintrag " + n + u" entfernen", "de", ""});
  }
  // The same translation from another source and file counts once.
  segments.push_back({u"Remove the selected items 1", "en", u"Eintrag 1 entfernen", "de", "x"});
  add(segments);
  MemoryLookup query;
  query.targetLanguage = "de";
  query.limit = 3;
  const std::vector<MemorySuggestion> found =
      memory->lookup(u"Remove the selected item 1", query, error).value();
  ASSERT_EQ(found.size(), 3U);
  EXPECT_EQ(found[0].score, 100);
  EXPECT_EQ(found[0].target, u"Eintrag 1 entfernen");
  EXPECT_NE(found[1].target, found[0].target);
  query.threshold = 99;
  EXPECT_EQ(memory->lookup(u"Remove the selected item 1", query, error).value().size(), 1U);
}

TEST_F(MemoryTest, TwoWindowsWriteTheSameMemoryInTurn) {
  std::unique_ptr<TranslationMemory> other =
      TranslationMemory::open(folder.widePath("memory.sqlite"), error);
  ASSERT_TRUE(other);
  std::vector<MemorySegment> first;
  std::vector<MemorySegment> second;
  for (int i = 0; i < 2000; ++i) {
    const std::u16string n = fromUtf8(std::to_string(i));
    first.push_back({u"First text " + n, "en", u"Erster Text " + n, "de", ""});
    second.push_back({u"Second text " + n, "en", u"Zweiter Text " + n, "de", ""});
  }
  std::optional<std::int64_t> addedThere;
  std::u16string errorThere;
  std::thread there([&] { addedThere = other->add(second, u"b", errorThere); });
  EXPECT_EQ(add(first), 2000);
  there.join();
  EXPECT_EQ(addedThere, 2000) << narrow(errorThere);
  EXPECT_EQ(memory->segmentCount(error), 4000);
  EXPECT_THAT(targets(u"Second text 1999"), ::testing::Contains(u"Zweiter Text 1999"));
}

TEST_F(MemoryTest, TellsALanguageByTheFileWhenItNamesNone) {
  // Qt's catalogue of a language only names the files that hold its
  // messages: nothing to learn, and no failure.
  const Bytes namesOnly =
      join({bytesOf("\x3C\xB8\x64\x18\xCA\xEF\x9C\x95\xCD\x21\x1C\xBF\x60\xA1\xBD\xDD"),
            Bytes{0xA7, 0, 0, 0, 2}, bytesOf("de")});
  const struct {
    const char* name;
    std::size_t added;
  } cases[] = {{"qt_de.qm", 1},
               {"app_pt_BR.qm", 1},
               {"app-fr.qm", 1},
               {"app.de.qm", 1},
               {"names_only_de.qm", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::u16string path =
        std::string_view(c.name) == "names_only_de.qm"
            ? folder.write(c.name, namesOnly)
            : folder.write(c.name, buildQm({{1, fromUtf8(c.name), c.name, "Main"}}));
    const MemoryImportReport report = importIntoMemory(*memory, std::vector{path}, {});
    EXPECT_THAT(report.failures, ElementsAre());
    EXPECT_EQ(report.added, static_cast<std::int64_t>(c.added));
  }
  EXPECT_THAT(everySegment(*memory),
              ElementsAre("qt_de.qm|en|qt_de.qm|de|Main", "app_pt_BR.qm|en|app_pt_BR.qm|pt_BR|Main",
                          "app-fr.qm|en|app-fr.qm|fr|Main", "app.de.qm|en|app.de.qm|de|Main"));
  EXPECT_EQ(memoryLanguage("pt-br"), "pt_BR");
  EXPECT_EQ(memoryLanguage("DE"), "de");
  EXPECT_EQ(memoryLanguage("x"), "");
  EXPECT_EQ(memoryLanguage("de_DE; DROP"), "");
}

}  // namespace
}  // namespace sorvane::test
