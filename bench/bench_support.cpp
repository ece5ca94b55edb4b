#include "bench_support.h"

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace sorvane::bench {

namespace {

constexpr const char16_t* kWords[] = {u"Open",
                                      u"file",
                                      u"Datei",
                                      u"\u00F6ffnen",
                                      u"speichern",
                                      u"the",
                                      u"window",
                                      u"Fenster",
                                      u"settings",
                                      u"Einstellungen",
                                      u"cannot",
                                      u"be",
                                      u"found",
                                      u"gefunden",
                                      u"\u00DCbersetzung",
                                      u"translation",
                                      u"Edit",
                                      u"Bearbeiten",
                                      u"%1",
                                      u"&Help",
                                      u"Hilfe",
                                      u"zur\u00FCck",
                                      u"next",
                                      u"weiter",
                                      u"Gr\u00F6\u00DFe",
                                      u"size",
                                      u"Schlie\u00DFen",
                                      u"close",
                                      u"all",
                                      u"alle"};
constexpr std::size_t kWordCount = sizeof kWords / sizeof kWords[0];

constexpr const char* kSections[] = {"MainWindow", "Dialog", "Prefs", "QFileDialog", "Editor",
                                     "Toolbar",    "Menu",   "About", "Search",      "Export"};

std::u16string makeText(Random& random) {
  const std::size_t length = 10 + random.below(36) + random.below(36);
  std::u16string text;
  while (text.size() < length) {
    if (!text.empty()) text.push_back(random.below(40) == 0 ? u'\n' : u' ');
    text += kWords[random.below(kWordCount)];
  }
  text.resize(length);
  return text;
}

}  // namespace

std::vector<test::QmEntry> makeEntries(std::size_t count, std::uint64_t seed) {
  Random random(seed);
  std::vector<test::QmEntry> entries;
  entries.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    test::QmEntry entry;
    entry.hash = static_cast<std::uint32_t>(random.next());
    entry.text = makeText(random);
    entry.section = std::string(kSections[random.below(10)]).substr(0, 3 + random.below(8));
    if (random.below(10) != 0) entry.subsection = "ctx" + std::to_string(random.below(100000));
    entries.push_back(std::move(entry));
  }
  return entries;
}

test::Bytes makeQmFile(const std::vector<test::QmEntry>& entries) {
  test::QmParts parts;
  parts.index.reserve(entries.size());
  parts.messages.reserve(entries.size() * 140);
  for (const test::QmEntry& entry : entries) {
    parts.index.push_back({entry.hash, static_cast<std::uint32_t>(parts.messages.size())});
    const test::Bytes record =
        test::writerRecord(entry.hash, entry.text, entry.section, entry.subsection);
    parts.messages.insert(parts.messages.end(), record.begin(), record.end());
  }
  parts.context = test::Bytes(4096, 0);
  return test::assembleQm(parts);
}

UpdateFiles makeUpdateFiles(std::size_t count) {
  UpdateFiles files;
  files.oldOriginal = makeEntries(count, 42);
  const std::vector<test::QmEntry> fresh = makeEntries(count / 20, 4242);
  Random random(7);
  std::size_t freshUsed = 0;
  for (const test::QmEntry& entry : files.oldOriginal) {
    test::QmEntry translated = entry;
    translated.text = u"DE " + entry.text;
    files.mod.push_back(std::move(translated));

    const std::size_t dice = random.below(20);
    if (dice == 0) continue;  // dropped
    test::QmEntry updated = entry;
    if (dice == 1) updated.text += u" (changed)";
    files.newOriginal.push_back(std::move(updated));
    if (dice == 2 && freshUsed < fresh.size()) files.newOriginal.push_back(fresh[freshUsed++]);
  }
  while (freshUsed < fresh.size()) files.newOriginal.push_back(fresh[freshUsed++]);
  return files;
}

void writeUpdateFiles(const test::TempFolder& folder, std::size_t count) {
  {
    const UpdateFiles files = makeUpdateFiles(count);
    writeFile(folder.path("old.qm"), makeQmFile(files.oldOriginal));
    writeFile(folder.path("new.qm"), makeQmFile(files.newOriginal));
    writeFile(folder.path("mod.qm"), makeQmFile(files.mod));
    std::printf("old original %zu, new original %zu, Mod %zu entries\n", files.oldOriginal.size(),
                files.newOriginal.size(), files.mod.size());
  }
  settle();
}

void writeFile(const std::string& path, const test::Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("could not write " + path);
}

void settle() {
  ::sync();
  ::malloc_trim(0);
}

double processSeconds(const std::string& command) {
  const auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) return -1;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::size_t residentBytes() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  std::size_t resident = 0;
  statm >> pages >> resident;
  return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

std::size_t entriesArgument(int argc, char** argv, std::size_t fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--entries") == 0) return std::stoul(argv[i + 1]);
  }
  return fallback;
}

}  // namespace sorvane::bench
