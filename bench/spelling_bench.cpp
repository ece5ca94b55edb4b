// Measures the spelling check: the full pass over a catalogue of 27,000
// messages (Qt's own German translations, repeated to that size, with
// their English source texts as the original), as the window runs it in
// slices while it is idle, and the re-check of one edited row; and how
// many words of Qt's German catalogue the dictionary calls misspelt (false
// alarms, as those translations are reviewed). Skips what needs a German
// dictionary or Qt's catalogues when they are not installed.

#include "bench_support.h"
#include "checks/spelling.h"
#include "controller/window_controller.h"
#include "platform/path_codec.h"
#include "platform/text_codec.h"
#include "qm/qm_reader.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

using namespace sorvane;

namespace {

constexpr const char* kCatalogues = "/usr/share/qt6/translations";

// Every (source text, German translation) pair of Qt's German catalogues.
std::vector<std::pair<std::u16string, std::u16string>> germanPairs(
    test::RecordingDialogServices& dialogs) {
  std::vector<std::pair<std::u16string, std::u16string>> pairs;
  std::error_code error;
  for (const auto& file : std::filesystem::directory_iterator(kCatalogues, error)) {
    const std::string name = file.path().filename().string();
    if (!name.ends_with("_de.qm")) continue;
    QmDocument document;
    if (!readQmFile(pathFromNative(file.path().string()), document, {.quiet = true}, dialogs)) {
      continue;
    }
    for (std::int32_t entry = 0; entry < document.translations.count(); ++entry) {
      const std::u16string_view text = document.formText(entry, 0);
      const std::string_view source = document.sectionTexts.view(entry);
      if (!text.empty() && !source.empty()) {
        pairs.emplace_back(fromLocal8Bit(source), std::u16string(text));
      }
    }
  }
  return pairs;
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t count = bench::entriesArgument(argc, argv, 27000);
  test::RecordingDialogServices dialogs;
  const bench::Timer loading;
  const std::unique_ptr<SpellChecker> german = SpellChecker::forLanguage("de");
  if (!german) {
    std::printf("skipped: no German dictionary (install hunspell-de-de)\n");
    return 0;
  }
  std::printf("loading the de_DE dictionary:        %7.2f ms\n", loading.milliseconds());
  const auto pairs = germanPairs(dialogs);
  if (pairs.empty()) {
    std::printf("skipped: no German catalogue of Qt (install qt6-translations-l10n)\n");
    return 0;
  }

  // False alarms: the words of the reviewed translations the check flags.
  std::size_t checked = 0;
  std::size_t flagged = 0;
  for (const auto& [source, text] : pairs) {
    checked += wordsToCheck(text, source).size();
    flagged += german->misspelt(text, source).size();
  }
  std::printf("Qt's German catalogues: %zu messages, %zu words checked, %zu flagged (%.2f%%)\n",
              pairs.size(), checked, flagged,
              100.0 * static_cast<double>(flagged) /
                  static_cast<double>(std::max<std::size_t>(checked, 1)));

  // A catalogue of the size asked for, opened as the window opens it.
  std::vector<test::QmEntry> english;
  std::vector<test::QmEntry> translated;
  for (std::size_t i = 0; i < count; ++i) {
    const auto& [source, text] = pairs[i % pairs.size()];
    const auto hash = static_cast<std::uint32_t>(i + 1);
    english.push_back({hash, source, "", "Context"});
    translated.push_back({hash, text, "", "Context"});
  }
  test::TempFolder folder;
  bench::writeFile(folder.path("en.qm"), bench::makeQmFile(english));
  bench::writeFile(folder.path("de.qm"), bench::makeQmFile(translated));
  WindowController controller(dialogs);
  controller.setPaths({u"", folder.widePath("en.qm"), folder.widePath("de.qm")});
  controller.openFiles();
  controller.changeModLanguage("de");
  if (controller.speller() == nullptr) {
    std::printf("FAILED: the Mod's dictionary did not load\n");
    return 1;
  }
  // The window's idle slices, one after the other: the longest is what a
  // keystroke may wait for.
  double longest = 0;
  int slices = 0;
  const bench::Timer pass;
  for (bool more = true; more;) {
    const bench::Timer slice;
    more = controller.runBackgroundWork(std::chrono::milliseconds(12));
    longest = std::max(longest, slice.milliseconds());
    ++slices;
  }
  const double passTime = pass.milliseconds();
  int misspeltRows = 0;
  for (std::int32_t at = 0; at < controller.session().rowCount(); ++at) {
    const std::vector<Problem>& problems = controller.problems().problemsOf(at);
    misspeltRows +=
        static_cast<int>(std::any_of(problems.begin(), problems.end(), [](const Problem& p) {
          return p.check == CheckKind::spelling;
        }));
  }
  std::printf(
      "full spelling pass, %d rows:       %7.2f ms in %d slices (longest %.2f ms), "
      "%d rows with misspelt words\n",
      controller.session().rowCount(), passTime, slices, longest, misspeltRows);

  // Storing one row re-checks it (with the other checks of its context).
  const std::int32_t row = controller.session().rowCount() / 2;
  int round = 0;
  controller.setEditedTextSource([&round] {
    return std::u16string(round % 2 == 0 ? u"Die Datei wurde nicht gefunnden"
                                         : u"Die Datei wurde nicht gefunden");
  });
  const auto recheck = bench::timeRuns(21, [&] {
    controller.openEditors(row);
    controller.run(CommandId::storeEdit);
    ++round;
  });
  std::printf("store one edited row, re-checked:    best %7.2f ms, median %7.2f ms\n",
              recheck.first, recheck.second);
  return 0;
}
