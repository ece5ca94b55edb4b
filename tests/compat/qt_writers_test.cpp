// QM files from other writers than lrelease (GNU gettext's msgfmt --qt) and
// from lrelease with each of its options: saved as a new Mod, Qt's
// QTranslator translates every message as it did from the input file, and
// Qt's lconvert reads the same messages from both.

#include "platform/path_codec.h"
#include "session/mod_file_saving.h"
#include "session/row_problems.h"
#include "session/session.h"
#include "support/pugixml_exchange_reference.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"
#include "textio/exchange_file.h"
#include "textio/xml_exchange.h"

#include <QString>
#include <QTranslator>

#include <gettext-po.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace sorvane::test {
namespace {

// A message as a program asks QTranslator for it.
struct Message {
  std::string context;
  std::string source;
  std::string comment;
  bool plural = false;
};

struct WrittenFile {
  std::string what;
  std::string path;
  std::vector<Message> messages;
};

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool run(const std::string& command) {
  return std::system((command + " 2> /dev/null").c_str()) == 0;
}

bool haveMsgfmt() { return run("msgfmt --version > /dev/null"); }

// The messages of a PO file, as libgettextpo reads them (the header and
// obsolete ones left out).
std::vector<Message> poMessages(const std::string& path) {
  static const po_xerror_handler handler{
      [](int, po_message_t, const char*, std::size_t, std::size_t, int, const char*) {},
      [](int, po_message_t, const char*, std::size_t, std::size_t, int, const char*, po_message_t,
         const char*, std::size_t, std::size_t, int, const char*) {}};
  std::vector<Message> messages;
  po_file_t file = po_file_read(path.c_str(), &handler);
  if (file == nullptr) return messages;
  po_message_iterator_t iterator = po_message_iterator(file, nullptr);
  while (po_message_t message = po_next_message(iterator)) {
    if (po_message_is_obsolete(message) || po_message_msgid(message)[0] == '\0') continue;
    const char* context = po_message_msgctxt(message);
    messages.push_back({context != nullptr ? context : "", po_message_msgid(message), "",
                        po_message_msgid_plural(message) != nullptr});
  }
  po_message_iterator_free(iterator);
  po_file_free(file);
  return messages;
}

const char* kPo = R"(msgid ""
msgstr ""
"Content-Type: text/plain; charset=UTF-8\n"

msgid "Day"
msgstr "Den"

msgctxt "calendar"
msgid "May"
msgstr "Maj"

msgctxt "verb"
msgid "Open"
msgstr "Otkryt"

msgid "Open"
msgstr "Otkrytyj"

msgid "Untranslated"
msgstr ""

#, fuzzy
msgid "Fuzzy"
msgstr "Nechetko"
)";

const char* kTs = R"(<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
  <name>Main</name>
  <message><source>Open</source><comment>verb</comment><translation>Otkryt</translation></message>
  <message><source>Open</source><comment>noun</comment><translation>Otkrytie</translation></message>
  <message><source>Close</source><translation type="unfinished"></translation></message>
  <message><source>Half</source><translation type="unfinished">Polu</translation></message>
  <message><source>Same</source><translation>Same</translation></message>
  <message numerus="yes"><source>%n file(s)</source><translation>
    <numerusform>%n fajl</numerusform><numerusform>%n fajla</numerusform>
    <numerusform>%n fajlov</numerusform></translation></message>
</context>
<context>
  <name>Other</name>
  <message><source>Open</source><translation>Otkroj</translation></message>
</context>
</TS>
)";

const char* kIdTs = R"(<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
  <name></name>
  <message id="app.open"><source>Open</source><translation>Offnen</translation></message>
  <message id="app.files" numerus="yes"><source>%n file(s)</source><translation>
    <numerusform>%n Datei</numerusform><numerusform>%n Dateien</numerusform></translation>
  </message>
</context>
</TS>
)";

class QtWriters : public ::testing::Test {
 protected:
  std::vector<WrittenFile> files() {
    std::vector<WrittenFile> written;
    if (haveMsgfmt()) {
      std::ofstream(folder.path("own.po")) << kPo;
      if (run("msgfmt --qt '" + folder.path("own.po") + "' -o '" + folder.path("own.qm") + "'")) {
        written.push_back(
            {"msgfmt --qt", folder.path("own.qm"), poMessages(folder.path("own.po"))});
      }
      addInstalledCatalogues(written);
    }
    std::ofstream(folder.path("main.ts")) << kTs;
    std::ofstream(folder.path("ids.ts")) << kIdTs;
    const std::vector<Message> tsMessages = {
        {"Main", "Open", "verb", false}, {"Main", "Open", "noun", false},
        {"Main", "Close", "", false},    {"Main", "Half", "", false},
        {"Main", "Same", "", false},     {"Main", "%n file(s)", "", true},
        {"Other", "Open", "", false},    {"Main", "Open", "", false}};
    int n = 0;
    for (const char* options :
         {"", "-compress", "-nounfinished", "-removeidentical", "-markuntranslated '@@'"}) {
      const std::string out = folder.path("lrelease" + std::to_string(n++) + ".qm");
      if (run(std::string("'") + SORVANE_LRELEASE + "' -silent " + options + " '" +
              folder.path("main.ts") + "' -qm '" + out + "'")) {
        written.push_back({std::string("lrelease ") + options, out, tsMessages});
      }
    }
    const std::string ids = folder.path("ids.qm");
    if (run(std::string("'") + SORVANE_LRELEASE + "' -silent -idbased '" + folder.path("ids.ts") +
            "' -qm '" + ids + "'")) {
      written.push_back(
          {"lrelease -idbased", ids, {{"", "app.open", "", false}, {"", "app.files", "", true}}});
    }
    return written;
  }

  // A few message catalogues the system installs, taken apart by msgunfmt
  // and compiled for Qt; those with plural messages msgfmt can't compile.
  void addInstalledCatalogues(std::vector<WrittenFile>& written) {
    std::vector<std::filesystem::path> catalogues;
    std::error_code error;
    for (const auto& language : std::filesystem::directory_iterator("/usr/share/locale", error)) {
      const std::filesystem::path folderOfMessages = language.path() / "LC_MESSAGES";
      for (const auto& entry : std::filesystem::directory_iterator(folderOfMessages, error)) {
        if (entry.path().extension() == ".mo" && entry.file_size() < 64 * 1024) {
          catalogues.push_back(entry.path());
        }
      }
    }
    std::sort(catalogues.begin(), catalogues.end());
    int taken = 0;
    for (std::size_t i = 0; i < catalogues.size() && taken < 12; i += 1 + catalogues.size() / 40) {
      const std::string name = "catalogue" + std::to_string(i);
      const std::string po = folder.path(name + ".po");
      const std::string qm = folder.path(name + ".qm");
      if (!run("msgunfmt '" + catalogues[i].string() + "' -o '" + po + "'") ||
          !run("msgfmt --qt '" + po + "' -o '" + qm + "'")) {
        continue;
      }
      written.push_back({"msgfmt --qt of " + catalogues[i].string(), qm, poMessages(po)});
      ++taken;
    }
  }

  static std::vector<QString> translateAll(const std::string& path,
                                           const std::vector<Message>& messages) {
    QTranslator translator;
    if (!translator.load(QString::fromStdString(path))) return {QStringLiteral("<not loaded>")};
    std::vector<QString> results;
    for (const Message& message : messages) {
      const char* comment = message.comment.empty() ? nullptr : message.comment.c_str();
      for (const int n : {-1, 0, 1, 2, 5, 11, 21}) {
        if (n >= 0 && !message.plural) break;
        results.push_back(
            translator.translate(message.context.c_str(), message.source.c_str(), comment, n));
      }
    }
    return results;
  }

  // What lconvert reads, but for empty comments: msgfmt writes a comment
  // of one zero byte into every record, which is no comment to Qt's
  // lookups (nor to Sorvane, which saves none), while lconvert shows it.
  static std::string lconvertToTs(const std::string& qm, const std::string& ts) {
    if (!run(std::string("'") + SORVANE_LCONVERT + "' -i '" + qm + "' -o '" + ts + "'")) {
      return "<lconvert failed>";
    }
    std::string text = slurp(ts);
    const std::string emptyComment = "        <comment><byte value=\"x0\"/></comment>\n";
    for (std::size_t at = text.find(emptyComment); at != std::string::npos;
         at = text.find(emptyComment, at)) {
      text.erase(at, emptyComment.size());
    }
    return text;
  }

  TempFolder folder;
};

TEST_F(QtWriters, AnUntouchedSaveKeepsEveryTranslationQtFinds) {
  if (!haveMsgfmt()) std::cout << "[ NOTE ] msgfmt (gettext) is missing: lrelease files only\n";
  const std::vector<WrittenFile> written = files();
  ASSERT_FALSE(written.empty());
  for (const WrittenFile& file : written) {
    SCOPED_TRACE(file.what);
    RecordingDialogServices dialogs;
    Session session;
    SessionPaths paths{u"", pathFromNative(file.path), u""};
    ASSERT_TRUE(session.openSession(SessionMode::traditional, paths, dialogs));
    paths.mod = pathFromNative(folder.path("saved.qm"));
    ASSERT_TRUE(writeModFile(session, paths, dialogs));
    EXPECT_TRUE(dialogs.calls().empty());

    const std::vector<QString> before = translateAll(file.path, file.messages);
    EXPECT_EQ(translateAll(folder.path("saved.qm"), file.messages), before);
    // The input finds its translations at all (or the check would say
    // nothing).
    EXPECT_TRUE(std::any_of(before.begin(), before.end(),
                            [](const QString& text) { return !text.isNull(); }));
    EXPECT_EQ(lconvertToTs(folder.path("saved.qm"), folder.path("saved.ts")),
              lconvertToTs(file.path, folder.path("input.ts")));
  }
}

TEST_F(QtWriters, EveryWritersEntriesAreWhereQtLooksForThem) {
  for (const WrittenFile& file : files()) {
    SCOPED_TRACE(file.what);
    RecordingDialogServices dialogs;
    Session session;
    const std::u16string path = pathFromNative(file.path);
    SessionPaths paths{u"", path, path};
    ASSERT_TRUE(session.openSession(SessionMode::traditional, paths, dialogs));
    RowProblems problems;
    problems.checkAll(session);
    EXPECT_EQ(problems.rowsWithProblems(), 0);
  }
}

// Every writer's file as a Mod goes out to each tool's format and comes
// back unchanged; a TS compiled by lrelease translates as the Mod does; the
// PO passes msgfmt --check and comes back in msgcat's order too.
TEST_F(QtWriters, ExchangeFilesGoThroughQtsAndGettextsTools) {
  for (const WrittenFile& file : files()) {
    SCOPED_TRACE(file.what);
    RecordingDialogServices dialogs;
    Session session;
    const std::u16string path = pathFromNative(file.path);
    SessionPaths paths{u"", path, path};
    ASSERT_TRUE(session.openSession(SessionMode::traditional, paths, dialogs));
    paths.mod = pathFromNative(folder.path("untouched.qm"));
    ASSERT_TRUE(writeModFile(session, paths, dialogs));
    const std::string untouched = slurp(folder.path("untouched.qm"));
    for (const char* name : {"mod.po", "mod.xlf", "mod.ts", "sorted.po"}) {
      SCOPED_TRACE(name);
      const std::u16string exchange = pathFromNative(folder.path(name));
      const ExchangeFormat format = exchangeFormatOfPath(exchange);
      if (std::string_view(name) == "sorted.po") {
        ASSERT_TRUE(run("msgcat --sort-output '" + folder.path("mod.po") + "' -o '" +
                        folder.path(name) + "'"));
      } else {
        ASSERT_TRUE(exportUnits(session, format, exchange, path, dialogs));
      }
      if (format == ExchangeFormat::xliff || format == ExchangeFormat::ts) {
        // The streaming reader reads the file as pugixml's tree does.
        const std::string text = slurp(folder.path(name));
        std::vector<std::uint8_t> bytes(text.begin(), text.end());
        std::string error;
        const std::optional<std::vector<ReadUnit>> reference =
            format == ExchangeFormat::ts ? readTsWithPugixml(bytes, error)
                                         : readXliffWithPugixml(bytes, error);
        const std::optional<ReadUnits> read =
            format == ExchangeFormat::ts ? readTs(bytes, error) : readXliff(bytes, error);
        ASSERT_TRUE(reference && read) << error;
        EXPECT_TRUE(read->held() == *reference);
      }
      Session back;
      SessionPaths backPaths{u"", path, path};
      ASSERT_TRUE(back.openSession(SessionMode::traditional, backPaths, dialogs));
      const std::optional<ImportReport> report = importUnitsFile(back, format, exchange, dialogs);
      ASSERT_TRUE(report);
      EXPECT_EQ(report->changed + report->unknown + report->sourceChanged, 0);
      backPaths.mod = pathFromNative(folder.path("back.qm"));
      ASSERT_TRUE(writeModFile(back, backPaths, dialogs));
      EXPECT_TRUE(slurp(folder.path("back.qm")) == untouched);
    }
    EXPECT_TRUE(run("msgfmt --check -o /dev/null '" + folder.path("mod.po") + "' 2> /dev/null"));
    ASSERT_TRUE(run(std::string("'") + SORVANE_LRELEASE + "' -silent '" + folder.path("mod.ts") +
                    "' -qm '" + folder.path("fromts.qm") + "'"));
    EXPECT_EQ(translateAll(folder.path("fromts.qm"), file.messages),
              translateAll(folder.path("untouched.qm"), file.messages));
    EXPECT_TRUE(dialogs.calls().empty());
  }
}

}  // namespace
}  // namespace sorvane::test
