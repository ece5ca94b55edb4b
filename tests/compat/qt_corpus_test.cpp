// Every QM file of Qt's own translations (Debian's qt6-translations-l10n)
// that holds messages opens, and the Mod saved from it as a new Mod loses
// nothing: Qt's lconvert reads the same messages from both, and Qt's
// QTranslator translates every message, with every plural count, alike.

#include "platform/path_codec.h"
#include "platform/text_codec.h"
#include "qm/qm_reader.h"
#include "session/mod_file_saving.h"
#include "session/row_problems.h"
#include "session/session.h"
#include "session/translation_state.h"
#include "support/gettext_po_reference.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"
#include "textio/exchange_file.h"
#include "textio/po_reader.h"

#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

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

std::vector<std::filesystem::path> qtTranslationFiles() {
  const std::filesystem::path folder =
      QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString();
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() == ".qm") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Whether the file has an index block: Qt's files without messages name
// other files only, or nothing at all.
bool holdsMessages(const std::filesystem::path& path) {
  const std::string bytes = slurp(path.string());
  std::size_t at = 16;
  while (at + 5 <= bytes.size()) {
    const auto tag = static_cast<unsigned char>(bytes[at]);
    if (tag == 0x42) return true;
    std::uint32_t length = 0;
    for (int i = 1; i <= 4; ++i) length = (length << 8) | static_cast<unsigned char>(bytes[at + i]);
    at += 5 + length;
  }
  return false;
}

std::string lconvertToTs(const std::string& qm, const std::string& ts) {
  const std::string command =
      std::string("'") + SORVANE_LCONVERT + "' -i '" + qm + "' -o '" + ts + "' 2> /dev/null";
  if (std::system(command.c_str()) != 0) return "<lconvert failed>";
  return slurp(ts);
}

// Translates every entry with every plural count (only one count for a
// message with one form) and returns the results in one list.
std::vector<QString> translateAll(const std::string& path, const QmDocument& document) {
  QTranslator translator;
  std::vector<QString> results;
  if (!translator.load(QString::fromStdString(path))) return {QStringLiteral("<not loaded>")};
  for (std::int32_t i = 0; i < document.translations.count(); ++i) {
    const std::string context(document.subsectionTexts.view(i));
    const std::string source(document.sectionTexts.view(i));
    const std::string comment(document.comments.view(i));
    const char* disambiguation = comment.empty() ? nullptr : comment.c_str();
    if (document.forms.count(i) == 1) {
      results.push_back(translator.translate(context.c_str(), source.c_str(), disambiguation));
      continue;
    }
    for (int n = 0; n <= 30; ++n) {
      results.push_back(translator.translate(context.c_str(), source.c_str(), disambiguation, n));
    }
  }
  return results;
}

TEST(QtCorpus, EveryFileWithMessagesOpensAndSavesWithoutLoss) {
  const std::vector<std::filesystem::path> files = qtTranslationFiles();
  if (files.empty()) GTEST_SKIP() << "Qt's translations (qt6-translations-l10n) are not installed";
  TempFolder folder;
  int withMessages = 0;
  int incompleteMessages = 0;
  for (const std::filesystem::path& file : files) {
    if (!holdsMessages(file)) continue;
    ++withMessages;
    SCOPED_TRACE(file.string());
    RecordingDialogServices dialogs;
    Session session;
    SessionPaths paths{u"", pathFromNative(file.string()), u""};
    ASSERT_TRUE(session.openSession(SessionMode::traditional, paths, dialogs));
    // Qt's files carry their comments in Qt's record shape: no notice.
    EXPECT_TRUE(dialogs.calls().empty());
    // The same name: lconvert takes a language from the name when the file
    // has no language block.
    const std::string saved = folder.path(file.filename().string());
    paths.mod = pathFromNative(saved);
    ASSERT_TRUE(writeModFile(session, paths, dialogs));

    EXPECT_TRUE(lconvertToTs(saved, folder.path("saved.ts")) ==
                lconvertToTs(file.string(), folder.path("original.ts")));
    EXPECT_TRUE(translateAll(saved, session.newOriginal()) ==
                translateAll(file.string(), session.newOriginal()));

    // As a Mod of itself, the file has every entry where Qt looks for it.
    Session itself;
    paths.mod = paths.newOriginal;
    ASSERT_TRUE(itself.openSession(SessionMode::traditional, paths, dialogs));
    RowProblems problems;
    problems.checkAll(itself);
    // Its only problems are plural messages with forms left without text,
    // which QTranslator doesn't translate for any count.
    QTranslator translator;
    ASSERT_TRUE(translator.load(QString::fromStdString(file.string())));
    for (std::int32_t row = 0; row < itself.rowCount(); ++row) {
      const std::vector<Problem>& found = problems.problemsOf(row);
      const bool incomplete = std::any_of(found.begin(), found.end(), [](const Problem& problem) {
        return problem.check == CheckKind::pluralForms;
      });
      EXPECT_EQ(found.size(), incomplete ? 1U : 0U) << row;
      if (itself.rowForm(row) != 0 || itself.rowFormCount(row) == 1) continue;
      const std::int32_t entry = itself.rowEntries(row).newOriginal;
      const std::string context(itself.newOriginal().subsectionTexts.view(entry));
      const std::string source(itself.newOriginal().sectionTexts.view(entry));
      const std::string comment(itself.newOriginal().comments.view(entry));
      bool shownForEveryCount = true;
      for (int n = 0; n <= 30; ++n) {
        shownForEveryCount =
            shownForEveryCount && !translator
                                       .translate(context.c_str(), source.c_str(),
                                                  comment.empty() ? nullptr : comment.c_str(), n)
                                       .isNull();
      }
      if (incomplete) {
        EXPECT_FALSE(shownForEveryCount) << row;
        ++incompleteMessages;
      }
      if (messageState(itself, row, false) == TranslationState::translated) {
        EXPECT_TRUE(shownForEveryCount) << row;
      }
    }
  }
  EXPECT_GT(withMessages, 0);
  std::printf("[ corpus   ] %d of %zu files hold messages; %d plural messages Qt can't show\n",
              withMessages, files.size(), incompleteMessages);
}

// Every catalogue goes out to each tool's format and comes back whole: no
// unit is lost, none unknown; the program reads each PO as gettext does.
TEST(QtCorpus, EveryExchangeRoundTripKeepsEveryUnit) {
  const std::vector<std::filesystem::path> files = qtTranslationFiles();
  if (files.empty()) GTEST_SKIP() << "Qt's translations (qt6-translations-l10n) are not installed";
  TempFolder folder;
  int roundTrips = 0;
  for (const std::filesystem::path& file : files) {
    if (!holdsMessages(file)) continue;
    SCOPED_TRACE(file.string());
    RecordingDialogServices dialogs;
    Session session;
    SessionPaths paths{u"", pathFromNative(file.string()), pathFromNative(file.string())};
    ASSERT_TRUE(session.openSession(SessionMode::traditional, paths, dialogs));
    const auto units = static_cast<std::int32_t>(translationUnits(session).size());
    for (const auto& [format, name] :
         {std::pair{ExchangeFormat::po, "out.po"}, std::pair{ExchangeFormat::xliff, "out.xlf"},
          std::pair{ExchangeFormat::ts, "out.ts"}}) {
      const std::u16string path = folder.widePath(name);
      ASSERT_TRUE(exportUnits(session, format, path, paths.mod, dialogs)) << name;
      const std::optional<ImportReport> report = importUnitsFile(session, format, path, dialogs);
      ASSERT_TRUE(report) << name;
      EXPECT_EQ(report->units, units) << name;
      EXPECT_EQ(report->unknown + report->unkeyed + report->repeated + report->surplusForms, 0)
          << name;
      EXPECT_EQ(report->changed, 0) << name;
      ++roundTrips;
      if (format != ExchangeFormat::po) continue;
      const Bytes bytes = folder.read(name);
      std::string error;
      const std::optional<ReadUnits> parsed = parsePo(bytes, error);
      const std::optional<std::vector<ReadUnit>> ours =
          parsed ? std::optional(parsed->held()) : std::nullopt;
      const std::optional<std::vector<ReadUnit>> reference = readPoWithGettext(folder.path(name));
      ASSERT_TRUE(ours && reference) << error;
      ASSERT_EQ(ours->size(), reference->size());
      for (std::size_t i = 0; i < ours->size(); ++i) {
        EXPECT_EQ((*ours)[i].id, (*reference)[i].id);
        EXPECT_EQ((*ours)[i].sources, (*reference)[i].sources);
        EXPECT_EQ((*ours)[i].translations, (*reference)[i].translations);
        EXPECT_EQ((*ours)[i].fuzzy, (*reference)[i].fuzzy);
      }
    }
  }
  EXPECT_GT(roundTrips, 0);
}

TEST(QtCorpus, AFileThatOnlyNamesOtherFilesSaysWhichToOpen) {
  const std::filesystem::path folder =
      QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString();
  const std::filesystem::path file = folder / "qt_de.qm";
  if (!std::filesystem::exists(file)) GTEST_SKIP() << "qt_de.qm is not installed";
  RecordingDialogServices dialogs;
  QmDocument document;
  const std::u16string path = pathFromNative(file.string());
  EXPECT_FALSE(readQmFile(path, document, {}, dialogs));
  ASSERT_EQ(dialogs.messageTexts().size(), 1U);
  const std::u16string text = dialogs.messageTexts()[0];
  EXPECT_EQ(text.substr(0, text.find(u"\r\nIt names")),
            u"Index table has zero size.\r\nNothing to translate in \"" + path + u"\"");
  EXPECT_NE(text.find(u"\r\nIt names the files that hold the messages: qtbase_de"),
            std::u16string::npos);
}

}  // namespace
}  // namespace sorvane::test
