#include "support/qm_bytes_builder.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

// Runs the real sorvane-cli binary and checks its exit codes and streams.

namespace sorvane::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

struct ProcessResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class CliProcess : public ::testing::Test {
 protected:
  ProcessResult run(const std::string& arguments) {
    const std::string command = std::string("'") + SORVANE_CLI_PATH + "' " + arguments + " > '" +
                                folder.path("stdout.txt") + "' 2> '" + folder.path("stderr.txt") +
                                "' < /dev/null";
    const int status = std::system(command.c_str());
    ProcessResult result;
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    result.out = slurp(folder.path("stdout.txt"));
    result.err = slurp(folder.path("stderr.txt"));
    return result;
  }
  // A path of the folder in single quotes, for the shell; built piece by
  // piece, as GCC 12 at -O3 warns falsely of an overlap in "'" + std::string.
  std::string quoted(const char* name) const {
    std::string out = "'";
    out += folder.path(name);
    out += '\'';
    return out;
  }

  TempFolder folder;
};

// rows prints what the window lists; --language gives the Mod a language
// (with its plural forms) in rows and save alike; a code that is no
// language code is a usage error.
TEST_F(CliProcess, RowsListTheWindowsRowsAndLanguageGivesTheModItsForms) {
  const Bytes english = assembleQm({.index = {{1, 0}},
                                    .messages = join({translationItem(u"%n file"),
                                                      translationItem(u"%n files"),
                                                      byteTextItem(0x06, "%n file(s)"),
                                                      byteTextItem(0x07, "Main"),
                                                      {0x01}}),
                                    .language = bytesOf("en"),
                                    .numerusRules = Bytes{0x01, 0x01}});
  folder.write("en.qm", english);
  const std::string en = "'" + folder.path("en.qm") + "'";
  const struct {
    std::string arguments;
    int exitCode;
    std::string out;
  } cases[] = {
      {"rows " + en + " ''", 0,
       "{\"row\":0,\"state\":\"none\",\"translation\":\"translated\",\"original\":\"%n "
       "file\",\"mod\":\"%n file\",\"section\":\"%n file(s)\",\"subsection\":\"Main\"}\n"
       "{\"row\":1,\"state\":\"none\",\"translation\":\"translated\",\"original\":\"%n "
       "files\",\"mod\":\"%n files\",\"section\":\"%n file(s)\",\"subsection\":\"Main\","
       "\"form\":1}\n"},
      // In Russian the English copy's plural message has a third form
      // without text: Qt can't show it.
      {"stats --language ru " + en + " ''", 0,
       "{\"messages\":1,\"translated\":0,\"untranslated\":0,\"incompletePlural\":1,"
       "\"problems\":1,\"words\":{\"total\":2,\"translated\":0,\"untranslated\":0,"
       "\"incompletePlural\":2,\"problems\":2}}\n"},
      // As its own Mod it is translated; its made-up hash is a problem.
      {"stats " + en + " ''", 0,
       "{\"messages\":1,\"translated\":1,\"untranslated\":0,\"incompletePlural\":0,"
       "\"problems\":1,\"words\":{\"total\":2,\"translated\":2,\"untranslated\":0,"
       "\"incompletePlural\":0,\"problems\":2}}\n"},
      {"rows --summary --language ru --old " + en + " " + en + " " + en, 0,
       "{\"new\":0,\"dropped\":0,\"changed\":0,\"mod-only\":0,\"rows\":3}\n"},
      {"rows --language ru-RU " + en + " ''", 2, ""},
  };
  for (const auto& c : cases) {
    const ProcessResult result = run(c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments << result.err;
    EXPECT_EQ(result.out, c.out) << c.arguments;
  }
  EXPECT_THAT(run("rows --language ru-RU " + en + " ''").err,
              HasSubstr("not a language code: ru-RU (a .ts file's language, such as ru, pt_BR or "
                        "zh_CN)"));
  ASSERT_EQ(run("save --language ru " + en + " '' '" + folder.path("ru.qm") + "'").exitCode, 0);
  const ProcessResult dumped = run("dump '" + folder.path("ru.qm") + "'");
  EXPECT_THAT(dumped.out, HasSubstr("\"text\":\"\",\"form\":2,\"absent\":true"));
  const Bytes saved = folder.read("ru.qm");
  EXPECT_EQ(Bytes(saved.begin() + 16, saved.begin() + 23), join({{0xA7}, be32(2), bytesOf("ru")}));
}

// check prints each problem, or counts of them, and fails a build on any.
TEST_F(CliProcess, CheckPrintsEachProblemAndExitsWithOneWhenThereIsAny) {
  folder.write("en.qm",
               buildQm({{1, u"Copy %1 to %2", "Copy", "Main"}, {2, u"File:", "File", "Main"}}));
  folder.write("de.qm",
               buildQm({{1, u"Kopiere %1", "Copy", "Main"}, {2, u"Datei:", "File", "Main"}}));
  const std::string en = "'" + folder.path("en.qm") + "'";
  const std::string de = "'" + folder.path("de.qm") + "'";
  const std::string problem =
      "{\"row\":0,\"check\":\"place-markers\",\"message\":\"Missing place marker %2\","
      "\"original\":\"Copy %1 to %2\",\"mod\":\"Kopiere %1\"}\n";
  const struct {
    std::string arguments;
    int exitCode;
    std::string out;
  } cases[] = {
      {"check " + en + " " + de, 1, problem},
      {"check --summary " + en + " " + de, 1,
       "{\"place-markers\":1,\"accelerators\":0,\"accelerator-clash\":0,\"punctuation\":0,"
       "\"white-space\":0,\"line-breaks\":0,\"tags\":0,\"lookup\":0,\"plural-forms\":0,\"pairing\":"
       "0}\n"},
      {"check --old " + en + " " + en + " " + de, 1, problem},
      {"check " + en + " " + en, 0, ""},
      {"check " + en + " ''", 0, ""},
  };
  for (const auto& c : cases) {
    const ProcessResult result = run(c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments << result.err;
    EXPECT_EQ(result.out, c.out) << c.arguments;
  }
}

// export and import take a tool's format from the file's extension or
// --format, take the sources from --original, and report on stderr.
TEST_F(CliProcess, ExportAndImportGoThroughToolsFormatsByKey) {
  folder.write("en.qm", buildQm({{1, u"Open", "Open", "Main"}}));
  folder.write("de.qm", buildQm({{1, u"\u00D6ffnen", "Open", "Main"}}));
  const std::string en = "'" + folder.path("en.qm") + "'";
  const std::string de = "'" + folder.path("de.qm") + "'";
  for (const char* name : {"de.po", "de.xlf", "de.xliff", "de.ts", "po.txt"}) {
    SCOPED_TRACE(name);
    // Built piece by piece: GCC 12 at -O3 warns falsely of an overlap in
    // "'" + std::string.
    std::string out = "'";
    out += folder.path(name);
    out += '\'';
    const std::string format = std::string(name) == "po.txt" ? "--format po " : "";
    ASSERT_EQ(run("export " + format + "--original " + en + " " + de + " " + out).exitCode, 0);
    const Bytes bytes = folder.read(name);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_THAT(text, HasSubstr("Open"));
    EXPECT_THAT(text, HasSubstr("\xC3\x96"
                                "ffnen"));
    const ProcessResult imported =
        run("import " + format + de + " " + out + " '" + folder.path("back.qm") + "'");
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_THAT(imported.err, HasSubstr("1 unit(s) read: 0 translation(s) changed"));
    EXPECT_EQ(folder.read("back.qm"), folder.read("de.qm"));
  }
  EXPECT_EQ(run("export --format json " + de + " x.json").exitCode, 2);
  folder.write("broken.po", bytesOf("msgid \"a\nmsgstr \"b\"\n"));
  const ProcessResult broken =
      run("import " + de + " '" + folder.path("broken.po") + "' '" + folder.path("no.qm") + "'");
  EXPECT_EQ(broken.exitCode, 1);
  EXPECT_THAT(broken.err, HasSubstr("broken.po\"\nline 1: a string without its closing quote"));
  EXPECT_FALSE(std::filesystem::exists(folder.path("no.qm")));
  // The file is read while the Mod opens, but a Mod that can't be opened is
  // all that is said.
  const ProcessResult both = run("import '" + folder.path("none.qm") + "' '" +
                                 folder.path("broken.po") + "' '" + folder.path("no.qm") + "'");
  EXPECT_EQ(both.exitCode, 1);
  EXPECT_THAT(both.err, HasSubstr("none.qm"));
  EXPECT_THAT(both.err, Not(HasSubstr("broken.po")));
}

TEST_F(CliProcess, DumpsTheSmallestFile) {
  const Bytes smallest = buildQm({{0x12345678, u"Hi", "", ""}});
  ASSERT_EQ(smallest.size(), 49U);
  folder.write("hi.qm", smallest);
  const ProcessResult result = run("dump '" + folder.path("hi.qm") + "'");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            "{\"hash\":\"12345678\",\"section\":\"\",\"subsection\":\"\",\"text\":\"Hi\"}\n");
  EXPECT_EQ(result.err, "");
}

TEST_F(CliProcess, ARefusedFileGivesTheReadersMessageAndExitCodeOne) {
  const ProcessResult result = run("dump '" + folder.path("missing.qm") + "'");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "Error opening \"" + folder.path("missing.qm") + "\"\nNo such file or directory\n");
}

TEST_F(CliProcess, HelpAndVersionSucceed) {
  const ProcessResult help = run("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_THAT(help.out, HasSubstr("dump"));
  const ProcessResult version = run("--version");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "sorvane-cli 0.3.2\n");
}

TEST_F(CliProcess, UsageErrorsExitWithTwoAndAOneLineHint) {
  for (const char* arguments : {"", "dump", "frobnicate", "dump a.qm b.qm", "--bogus"}) {
    SCOPED_TRACE(arguments);
    const ProcessResult result = run(arguments);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_THAT(result.err, StartsWith("sorvane-cli: "));
    EXPECT_THAT(result.err, HasSubstr("--help"));
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1);
  }
}

TEST_F(CliProcess, SavesATraditionalModUnderTheNewName) {
  folder.write("en.qm", buildQm({{0x12345678, u"Hi", "", ""}}, Bytes{1, 2}));
  const ProcessResult result =
      run("save '" + folder.path("en.qm") + "' '' '" + folder.path("out/de.qm") + "'");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(folder.read("out/de.qm"), buildQm({{0x12345678, u"Hi", "", ""}}, Bytes{1, 2}));
}

TEST_F(CliProcess, SavesAModUpdateSortedByKey) {
  folder.write("old.qm", buildQm({{2, u"two", "", ""}}));
  folder.write("new.qm", buildQm({{3, u"three", "", ""}, {1, u"one", "", ""}}));
  folder.write("mod.qm", buildQm({{2, u"zwei", "", ""}}));
  const ProcessResult result =
      run("save --old '" + folder.path("old.qm") + "' '" + folder.path("new.qm") + "' '" +
          folder.path("mod.qm") + "' '" + folder.path("out.qm") + "'");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(folder.read("out.qm"), buildQm({{2, u"zwei", "", ""}}));
}

// check reports misspelt words in the language given (or the Mod's), and
// leaves them out with --no-spelling; a missing dictionary is said.
TEST_F(CliProcess, CheckReportsSpellingInTheLanguageGiven) {
  folder.write("en.qm", buildQm({{1, u"File not found", "", ""}}));
  folder.write("de.qm", buildQm({{1, u"Datei nicht gefunnden", "", ""}}));
  const std::string files = " '" + folder.path("en.qm") + "' '" + folder.path("de.qm") + "'";
  const ProcessResult german = run("check --language de" + files);
  if (german.err.starts_with("No spelling dictionary")) GTEST_SKIP() << german.err;
  EXPECT_EQ(german.exitCode, 1);
  EXPECT_EQ(german.out,
            "{\"row\":0,\"check\":\"spelling\",\"message\":\"Spelling: gefunnden\","
            "\"original\":\"File not found\",\"mod\":\"Datei nicht gefunnden\"}\n");
  const ProcessResult summary = run("check --summary --language de" + files);
  EXPECT_THAT(summary.out, HasSubstr("\"pairing\":0,\"spelling\":1}"));
  const ProcessResult off = run("check --no-spelling --language de" + files);
  EXPECT_EQ(off.exitCode, 0);
  EXPECT_EQ(off.out, "");
  folder.write("ru.qm", buildQm({{1,
                                  u"\u0424\u0430\u0439\u043B \u043D\u0435 "
                                  u"\u043D\u0430\u0439\u0434\u0435\u043D\u043D",
                                  "", ""}}));
  const ProcessResult russian = run("check --summary --language ru '" + folder.path("en.qm") +
                                    "' '" + folder.path("ru.qm") + "'");
  if (!russian.err.starts_with("No spelling dictionary")) {
    EXPECT_THAT(russian.out, HasSubstr("\"spelling\":1}"));
  }
  const ProcessResult missing = run("check --language qq" + files);
  EXPECT_EQ(missing.exitCode, 0);
  EXPECT_EQ(missing.err, "No spelling dictionary for qq: install the package hunspell-qq\n");
}

// replace changes the Mod texts only, prints how many, and saves; a pattern
// that can't be used is a usage error before any file is read.
TEST_F(CliProcess, ReplaceChangesModTextsAndPrintsTheCount) {
  const std::vector<QmEntry> english = {{1, u"Open file", "Open file", "Main"},
                                        {2, u"&Quit", "&Quit", "Main"},
                                        {3, u"Save %1 files", "Save %1 files", "Main"}};
  folder.write("en.qm", buildQm(english));
  const std::string files = " '" + folder.path("en.qm") + "' '' '" + folder.path("out.qm") + "'";
  const struct {
    std::string arguments;
    int exitCode;
    std::string out;
    std::vector<std::u16string> texts;  // the Mod's, when saved
  } cases[] = {
      {"file document", 0, "2\n", {u"Open document", u"&Quit", u"Save %1 documents"}},
      {"--whole-word file document", 0, "1\n", {u"Open document", u"&Quit", u"Save %1 files"}},
      {"--case open x", 0, "0\n", {u"Open file", u"&Quit", u"Save %1 files"}},
      {"--regex '%(\\d)' '%L$1'", 0, "1\n", {u"Open file", u"&Quit", u"Save %L1 files"}},
      {"--ignore-accelerators --whole-word quit Exit",
       0,
       "1\n",
       {u"Open file", u"&Exit", u"Save %1 files"}},
      {"--regex '(' x", 2, "", {}},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(folder.path("out.qm"));
    const ProcessResult result = run("replace " + c.arguments + files);
    EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments << ": " << result.err;
    EXPECT_EQ(result.out, c.out) << c.arguments;
    if (c.texts.empty()) {
      EXPECT_THAT(result.err, StartsWith("sorvane-cli: The regular expression is not valid: "
                                         "mismatched paren at character 2."));
      EXPECT_FALSE(std::filesystem::exists(folder.path("out.qm")));
      continue;
    }
    std::vector<QmEntry> expected = english;
    for (std::size_t i = 0; i < expected.size(); ++i) expected[i].text = c.texts[i];
    EXPECT_EQ(folder.read("out.qm"), buildQm(expected)) << c.arguments;
  }
}

TEST_F(CliProcess, AFailedSaveGivesTheWritersMessageAndExitCodeOne) {
  folder.write("en.qm", buildQm({{1, u"x", "", ""}}));
  const ProcessResult result =
      run("save '" + folder.path("en.qm") + "' '' '" + folder.path("en.qm") + "'");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err,
            "Choose a different filename for the Mod file than for the Original file\n");
}

TEST_F(CliProcess, SaysWhenAMissingModStartsAsACopyAndRefusesOneItCannotCheck) {
  folder.write("en.qm", buildQm({{1, u"x", "", ""}}));
  const std::string en = folder.path("en.qm");
  const ProcessResult copied =
      run("save '" + en + "' '" + folder.path("typo.qm") + "' '" + folder.path("out.qm") + "'");
  EXPECT_EQ(copied.exitCode, 0);
  EXPECT_EQ(copied.err,
            folder.path("typo.qm") + " does not exist: the Mod starts as a copy of the Original\n");

  ASSERT_EQ(::symlink("loop.qm", folder.path("loop.qm").c_str()), 0);
  const ProcessResult loop =
      run("save '" + en + "' '" + folder.path("loop.qm") + "' '" + folder.path("out2.qm") + "'");
  EXPECT_EQ(loop.exitCode, 1);
  EXPECT_EQ(loop.err, "Error opening \"" + folder.path("loop.qm") +
                          "\"\nToo many levels of symbolic links\n");
  EXPECT_FALSE(std::filesystem::exists(folder.path("out2.qm")));
}

TEST_F(CliProcess, ExportImportAndDebugWorkLikeTheWindow) {
  folder.write("en.qm", buildQm({{1, u"Open", "", ""}, {2, u"Close", "", ""}}));
  const std::string en = folder.path("en.qm");
  ProcessResult result = run("export '" + en + "' '" + folder.path("en.txt") + "'");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(folder.read("en.txt"), join({{0xFF, 0xFE}, utf16Le(u"Open\r\nClose\r\n")}));

  folder.write("de.txt", join({{0xFF, 0xFE}, utf16Le(u"Auf\r\nZu\r\n")}));
  result =
      run("import '" + en + "' '" + folder.path("de.txt") + "' '" + folder.path("de.qm") + "'");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(folder.read("de.qm"), buildQm({{1, u"Auf", "", ""}, {2, u"Zu", "", ""}}));

  folder.write("bad.txt", join({{0xFF, 0xFE}, utf16Le(u"Auf\r\n")}));
  result =
      run("import '" + en + "' '" + folder.path("bad.txt") + "' '" + folder.path("x.qm") + "'");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "File to import have different strings count than opened file. (1 : 2)\n");

  result = run("debug '" + en + "' '" + folder.path("debug.qm") + "'");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(folder.read("debug.qm"), buildQm({{1, u"en0", "", ""}, {2, u"en1", "", ""}}));
  result = run("debug --id ID_ '" + en + "' '" + folder.path("debug2.qm") + "'");
  EXPECT_EQ(folder.read("debug2.qm"), buildQm({{1, u"ID_0", "", ""}, {2, u"ID_1", "", ""}}));
  EXPECT_EQ(run("export '" + en + "'").exitCode, 2);
}

TEST_F(CliProcess, SearchPrintsTheFoundFilesAndTheSummary) {
  folder.write("de.qm", buildQm({{1, u"\u00D6ffnen", "", ""}}));
  folder.write("en.qm", buildQm({{1, u"Open", "", ""}}));
  ProcessResult result = run("search '" + folder.path() + "' OFFNEN");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "[ Search completed - found 0 files ]\n");
  result = run("search --recurse '" + folder.path() + "' open");
  EXPECT_EQ(result.out, folder.path("en.qm") + "\n[ Search completed - found 1 files ]\n");
  result = run("search '" + folder.path("none") + "' open");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "Folder does not exist.\n");
  EXPECT_EQ(run("search").exitCode, 2);
}

TEST_F(CliProcess, RelativePathsNameFilesInTheCurrentFolder) {
  folder.write("en.qm", buildQm({{1, u"x", "", ""}}));
  const std::string command =
      "cd '" + folder.path() + "' && '" + SORVANE_CLI_PATH + "' save en.qm '' de.qm 2> err";
  EXPECT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(folder.read("de.qm"), folder.read("en.qm"));
}

// No command writes over one of its inputs, whatever name it goes by, nor
// over a pipe: the file stays as it was and the exit code is 1.
TEST_F(CliProcess, NoCommandWritesOverItsInputsUnderAnyName) {
  folder.write("orig.qm", buildQm({{1, u"Open", "Open", "Main"}}));
  folder.write("mod.qm", buildQm({{1, u"\u00D6ffnen", "Open", "Main"}}));
  std::filesystem::create_directory(folder.path("sub"));
  std::filesystem::create_symlink(folder.path("orig.qm"), folder.path("link.qm"));
  ASSERT_EQ(::link(folder.path("orig.qm").c_str(), folder.path("hard.qm").c_str()), 0);
  ASSERT_EQ(::mkfifo(folder.path("fifo.qm").c_str(), 0600), 0);
  const std::string run = "cd '" + folder.path() + "' && '" + SORVANE_CLI_PATH + "' ";
  ASSERT_EQ(std::system((run + "export --format po mod.qm in.po 2> err").c_str()), 0);
  const Bytes original = folder.read("orig.qm");
  const Bytes mod = folder.read("mod.qm");
  const Bytes po = folder.read("in.po");
  const struct {
    const char* arguments;
    const char* message;
  } cases[] = {
      {"save orig.qm mod.qm ./orig.qm", "Choose a different filename for the Mod file"},
      {"save orig.qm mod.qm sub/../orig.qm", "is the same file as"},
      {"save orig.qm mod.qm link.qm", "is the same file as"},
      {"save orig.qm mod.qm hard.qm", "is the same file as"},
      {"save orig.qm mod.qm fifo.qm", "is not a regular file"},
      {"debug orig.qm ./orig.qm", "Choose a different filename for the Mod file"},
      {"export --format po mod.qm mod.qm", "is the same file as"},
      {"export --format po mod.qm ./mod.qm", "is the same file as"},
      {"import mod.qm in.po in.po", "is the same file as"},
      {"import mod.qm in.po ./in.po", "is the same file as"},
  };
  for (const auto& c : cases) {
    EXPECT_NE(std::system((run + c.arguments + " 2> err").c_str()), 0) << c.arguments;
    const Bytes error = folder.read("err");
    EXPECT_THAT(std::string(error.begin(), error.end()), HasSubstr(c.message)) << c.arguments;
    EXPECT_EQ(folder.read("orig.qm"), original) << c.arguments;
    EXPECT_EQ(folder.read("mod.qm"), mod) << c.arguments;
    EXPECT_EQ(folder.read("in.po"), po) << c.arguments;
    EXPECT_TRUE(std::filesystem::is_fifo(folder.path("fifo.qm")));
  }
}

}  // namespace
// memory import learns a file once, lookup prints the suggestions as JSON
// lines, export writes TMX, pretranslate fills exact matches and prints
// their count; a memory that is no database is said, exit code 1.
TEST_F(CliProcess, TheMemoryLearnsSuggestsExportsAndPretranslates) {
  folder.write("app_de.qm", buildQm({{1, u"Datei \u00F6ffnen", "Open file", "Main"},
                                     {2, u"Beenden", "Quit", "Main"}},
                                    std::nullopt, "de"));
  folder.write("en.qm", buildQm({{1, u"Open file", "Open file", "Main"},
                                 {2, u"Quit", "Quit", "Other"},
                                 {3, u"Help", "Help", "Main"}},
                                std::nullopt, "en"));
  folder.write("damaged.sqlite", bytesOf(std::string(4096, 'x')));
  // Each path quoted once: a text joined to a const string never gives
  // GCC 12's false overlap warning.
  const std::string memoryFile = quoted("m.sqlite");
  const std::string memory = "--memory " + memoryFile;
  const std::string qmFile = quoted("app_de.qm");
  const std::string enFile = quoted("en.qm");
  const std::string outFile = quoted("out.qm");
  const std::string damagedFile = quoted("damaged.sqlite");
  const std::string tmxFile = quoted("all.tmx");
  const std::string appDe = folder.path("app_de.qm");
  const std::string damaged = folder.path("damaged.sqlite");
  const struct {
    std::string arguments;
    int exitCode;
    std::string out;
    std::string err;  // the start of it
  } cases[] = {
      {"memory " + memory + " import " + qmFile, 0,
       "{\"files\":1,\"failed\":0,\"segments\":2,\"added\":2}\n", ""},
      {"memory " + memory + " import " + qmFile, 0,
       "{\"files\":1,\"failed\":0,\"segments\":2,\"added\":0}\n", ""},
      {"memory " + memory + " lookup --language de_AT 'Open files'", 0,
       "{\"score\":90,\"source\":\"Open file\",\"target\":\"Datei \u00F6ffnen\",\"language\":"
       "\"de\",\"context\":\"Main\",\"origin\":\"" +
           appDe + "\"}\n",
       ""},
      {"memory " + memory + " lookup --language ru 'Open files'", 0, "", ""},
      {"pretranslate " + memory + " --language de " + enFile + " '' " + outFile, 0, "2\n", ""},
      {"memory --memory " + damagedFile + " lookup --language de x", 1, "",
       "sorvane-cli: the translation memory " + damaged +
           " can't be used: It is not a translation memory: file is not a database"},
      {"memory " + memory + " lookup --language 'd e' x", 2, "", "sorvane-cli: not a language"},
      {"memory " + memory + " lookup --limit 1 Quit", 0,
       "{\"score\":100,\"source\":\"Quit\",\"target\":\"Beenden\",\"language\":\"de\","
       "\"context\":\"Main\",\"origin\":\"" +
           appDe + "\"}\n",
       ""},
      {"memory " + memory + " lookup", 2, "", "sorvane-cli: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const ProcessResult result = run(c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_EQ(result.out, c.out);
    EXPECT_THAT(result.err, StartsWith(c.err));
  }
  const ProcessResult exported = run("memory " + memory + " export " + tmxFile);
  EXPECT_EQ(exported.exitCode, 0);
  EXPECT_THAT(slurp(folder.path("all.tmx")),
              HasSubstr("<tuv xml:lang=\"de\"><seg>Beenden</seg></tuv>"));
  EXPECT_THAT(run("dump " + outFile).out, HasSubstr("Beenden"));
}

// rows --old names the dropped row a new one rewords, and how alike.
TEST_F(CliProcess, RowsNameTheDroppedRowANewOneRewords) {
  folder.write("old.qm", buildQm({{1, u"Open the selected file", "a", "MainWindow"}}));
  folder.write("new.qm", buildQm({{2, u"Open the selected files", "b", "MainWindow"}}));
  folder.write("mod.qm", buildQm({{1, u"Die gew\u00E4hlte Datei \u00F6ffnen", "a", "MainWindow"}}));
  const std::string oldFile = quoted("old.qm");
  const std::string newFile = quoted("new.qm");
  const std::string modFile = quoted("mod.qm");
  const ProcessResult result = run("rows --old " + oldFile + " " + newFile + " " + modFile);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_THAT(result.out, HasSubstr("\"state\":\"new\""));
  EXPECT_THAT(result.out, HasSubstr("\"similar\":{\"row\":1,\"score\":95}}\n"));
  EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 2);
}

}  // namespace sorvane::test
