// Measures the translation memory on generated segments: the import (in
// transactions of 10,000, as a folder of files arrives), the time of a
// fuzzy lookup for texts of 1 to 20 words (a segment's source with a word
// changed, added or dropped, and texts the memory doesn't know), and the
// memory file's size against the texts it holds. The figures of the goal
// are for "--entries 1000000"; the default is small, for a smoke run.

#include "bench_support.h"
#include "memory/match_text.h"
#include "memory/translation_memory.h"
#include "platform/path_codec.h"
#include "platform/utf8.h"
#include "qm/qm_reader.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

using namespace sorvane;

namespace {

constexpr const char* kCatalogues = "/usr/share/qt6/translations";

// The words of the English source texts of Qt's catalogues, most frequent
// first, when they are installed.
std::vector<std::string> catalogueWords() {
  std::map<std::string, std::size_t> counts;
  std::error_code error;
  test::RecordingDialogServices dialogs;
  for (const auto& file : std::filesystem::directory_iterator(kCatalogues, error)) {
    if (!file.path().filename().string().ends_with("_de.qm")) continue;
    QmDocument document;
    if (!readQmFile(pathFromNative(file.path().string()), document, {.quiet = true}, dialogs))
      continue;
    for (std::int32_t entry = 0; entry < document.translations.count(); ++entry) {
      std::string word;
      for (const char c : std::string(document.sectionTexts.view(entry)) + ' ') {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
          word += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        } else if (!word.empty()) {
          ++counts[word];
          word.clear();
        }
      }
    }
  }
  std::vector<std::pair<std::size_t, std::string>> byCount;
  for (const auto& [word, count] : counts) byCount.emplace_back(count, word);
  std::sort(byCount.rbegin(), byCount.rend());
  std::vector<std::string> words;
  for (const auto& [count, word] : byCount) words.push_back(word);
  return words;
}

// Words drawn with Zipf-like weights so that some are everywhere, as "the"
// and "file" are: Qt's English words, or without them a few thousand of a
// made-up language of few syllables (whose trigrams are far fewer, so
// every list is longer and lookups slower than with real words).
class Words {
 public:
  explicit Words(bench::Random& random) : random_(random) {
    words_ = catalogueWords();
    if (words_.size() >= 1000) {
      real_ = true;
      return;
    }
    words_.clear();
    static constexpr const char* kSyllables[] = {"ka", "lo", "mi", "ne", "ru", "sa",  "to", "vi",
                                                 "el", "an", "or", "is", "ex", "fi",  "le", "pa",
                                                 "ge", "di", "ho", "bu", "ze", "qua", "st", "ch"};
    for (std::size_t i = 0; i < 6000; ++i) {
      std::string word;
      const std::size_t syllables = 1 + random_.below(4);
      for (std::size_t k = 0; k < syllables; ++k) word += kSyllables[random_.below(24)];
      words_.push_back(word);
    }
  }
  const std::string& pick() {
    // Squaring a uniform number favours the first words.
    const double u = static_cast<double>(random_.below(1'000'000)) / 1e6;
    return words_[static_cast<std::size_t>(u * u * u * static_cast<double>(words_.size()))];
  }
  bool real() const { return real_; }
  std::size_t size() const { return words_.size(); }
  std::string sentence(std::size_t words) {
    std::string text;
    for (std::size_t i = 0; i < words; ++i) {
      if (i > 0) text += ' ';
      text += pick();
    }
    if (random_.below(5) == 0) text += " %1";
    if (!text.empty()) text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
  }

 private:
  bench::Random& random_;
  std::vector<std::string> words_;
  bool real_ = false;
};

std::string translated(std::string text) {
  std::reverse(text.begin(), text.end());
  return text + " ü";
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t count = bench::entriesArgument(argc, argv, 50'000);
  bench::Random random(42);
  Words words(random);
  std::vector<MemorySegment> segments;
  std::vector<std::string> sources;
  std::size_t textBytes = 0;
  for (std::size_t i = 0; i < count; ++i) {
    std::string source = words.sentence(1 + random.below(20));
    MemorySegment segment{fromUtf8(source), "en", fromUtf8(translated(source)), "de",
                          "Context" + std::to_string(random.below(3000))};
    textBytes += source.size() + toUtf8(segment.target).size() + segment.context.size();
    segments.push_back(std::move(segment));
    sources.push_back(std::move(source));
  }

  // "--reuse FILE" measures the lookups in a memory an earlier run left
  // there (the same generated data), or leaves this run's there.
  std::string reuse;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string_view(argv[i]) == "--reuse") reuse = argv[i + 1];
  }
  const test::TempFolder folder;
  const std::string file = reuse.empty() ? folder.path() + "/memory.sqlite" : reuse;
  struct stat before {};
  const bool reused = !reuse.empty() && stat(file.c_str(), &before) == 0;
  const std::u16string path = pathFromNative(file);
  std::u16string error;
  std::unique_ptr<TranslationMemory> memory = TranslationMemory::open(path, error);
  if (!memory) {
    std::printf("memory_bench: %s\n", toUtf8(error).c_str());
    return 1;
  }
  bench::settle();
  const bench::Timer importing;
  constexpr std::size_t kBatch = 10'000;
  for (std::size_t at = 0; !reused && at < segments.size(); at += kBatch) {
    const std::size_t size = std::min(kBatch, segments.size() - at);
    if (!memory->add(std::span(segments).subspan(at, size),
                     u"/generated/file" + fromUtf8(std::to_string(at / kBatch)) + u".po", error)) {
      std::printf("memory_bench: %s\n", toUtf8(error).c_str());
      return 1;
    }
  }
  const double importMs = importing.milliseconds();
  memory.reset();  // the WAL is folded into the file when the last connection closes
  struct stat status {};
  stat(file.c_str(), &status);
  memory = TranslationMemory::open(path, error);

  // Lookups: a known source with one word changed, added or dropped, or a
  // new sentence, 1 to 20 words.
  std::vector<double> times;
  std::size_t found = 0;
  std::size_t alike = 0;     // lookups of a changed source still alike to it
  std::size_t recalled = 0;  // of those, how many offered it
  constexpr std::size_t kLookups = 2000;
  MemoryLookup query;
  query.targetLanguage = "de_DE";
  for (std::size_t i = 0; i < kLookups; ++i) {
    std::string text;
    const std::size_t kind = random.below(4);
    std::u16string changed;
    if (kind == 3) {
      text = words.sentence(1 + random.below(20));
    } else {
      text = sources[random.below(sources.size())];
      changed = fromUtf8(text);
      const std::size_t space = text.find(' ', random.below(text.size()));
      const std::string word = words.pick();
      if (kind == 0 && space != std::string::npos) {
        const std::size_t end = text.find(' ', space + 1);
        text =
            text.substr(0, space + 1) + word + (end == std::string::npos ? "" : text.substr(end));
      } else if (kind == 1) {
        text += ' ' + word;
      } else if (space != std::string::npos) {
        text.erase(space);
      }
    }
    const bench::Timer lookup;
    const std::optional<std::vector<MemorySuggestion>> suggestions =
        memory->lookup(fromUtf8(text), query, error);
    times.push_back(lookup.milliseconds());
    if (suggestions && !suggestions->empty()) ++found;
    if (!changed.empty() && similarity(changed, fromUtf8(text)) >= query.threshold) {
      ++alike;
      if (suggestions &&
          std::any_of(suggestions->begin(), suggestions->end(),
                      [&](const MemorySuggestion& s) { return s.source == changed; }))
        ++recalled;
    }
  }
  std::sort(times.begin(), times.end());
  const auto percentile = [&times](double p) {
    return times[std::min(times.size() - 1,
                          static_cast<std::size_t>(p * static_cast<double>(times.size())))];
  };
  std::printf("memory_bench: %zu segments of %s (%zu words)\n", count,
              words.real() ? "Qt's English words" : "made-up words", words.size());
  if (!reused) {
    std::printf("  import: %.1f s (%.0f segments/s)\n", importMs / 1000,
                static_cast<double>(count) / (importMs / 1000));
  }
  std::printf(
      "  lookup: p50 %.2f ms, p95 %.2f ms, p99 %.2f ms, max %.2f ms (%zu lookups, %zu "
      "with suggestions)\n",
      percentile(0.50), percentile(0.95), percentile(0.99), times.back(), kLookups, found);
  std::printf("  recall: %zu of the %zu changed sources still alike (>= %d) offered them\n",
              recalled, alike, query.threshold);
  std::printf("  file: %.1f MB for %.1f MB of text (%.2f x)\n",
              static_cast<double>(status.st_size) / 1e6, static_cast<double>(textBytes) / 1e6,
              static_cast<double>(status.st_size) / static_cast<double>(textBytes));
  return 0;
}
