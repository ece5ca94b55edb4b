// Measures the export and import of PO, XLIFF and TS files by sorvane-cli
// as whole processes, against Qt's lconvert converting the same QM file to
// each format in the same run (median of three); and the peak memory of a
// "Mod update" save against the size of its three files.

#include "bench_support.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace sorvane;

namespace {

// The median times of commands run in turn, runs times each: taken in turn,
// a busy spell of the machine weighs on each of them alike, and each starts
// once what the one before wrote is on the disk. Negative when one failed.
std::vector<double> medianSeconds(const std::vector<std::string>& commands, int runs) {
  std::vector<std::vector<double>> times(commands.size());
  for (int run = 0; run < runs; ++run) {
    for (std::size_t i = 0; i < commands.size(); ++i) {
      bench::settle();
      const double seconds = bench::processSeconds(commands[i]);
      if (seconds < 0) return std::vector<double>(commands.size(), -1);
      times[i].push_back(seconds);
    }
  }
  std::vector<double> medians;
  for (std::vector<double>& each : times) {
    std::sort(each.begin(), each.end());
    medians.push_back(each[each.size() / 2]);
  }
  return medians;
}

// The largest resident size of a command run as a child process, in bytes;
// 0 when it failed.
std::size_t peakResidentBytes(const std::vector<std::string>& arguments) {
  const pid_t child = ::fork();
  if (child == 0) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    return 0;
  }
  return static_cast<std::size_t>(usage.ru_maxrss) * 1024;
}

// The folder of "--keep DIR", where the files measured are copied at the
// end, for a profiler; empty without it.
std::filesystem::path keepArgument(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "--keep") return argv[i + 1];
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t count = bench::entriesArgument(argc, argv, 200000);
  const std::filesystem::path keep = keepArgument(argc, argv);
  const int runs = count >= 100000 ? 5 : 1;
  const std::filesystem::path cli =
      std::filesystem::path(argv[0]).parent_path().parent_path() / "src/cli/sorvane-cli";
  const std::string lconvert = "/usr/lib/qt6/bin/lconvert";
  const std::string lrelease = "/usr/lib/qt6/bin/lrelease";
  if (!std::filesystem::exists(cli) || !std::filesystem::exists(lconvert) ||
      !std::filesystem::exists(lrelease)) {
    std::printf("exchange against lconvert: skipped (sorvane-cli, lconvert or lrelease missing)\n");
    return 0;
  }
  test::TempFolder folder;
  const std::string sorvane = "'" + cli.string() + "' ";
  const auto path = [&folder](const char* name) { return "'" + folder.path(name) + "'"; };
  // A Mod as Qt's tools make it: the generated file through a TS and lrelease.
  bench::writeFile(folder.path("made.qm"), bench::makeQmFile(bench::makeEntries(count, 42)));
  if (bench::processSeconds(sorvane + "export --format ts " + path("made.qm") + " " +
                            path("made.ts") + " 2> /dev/null") < 0 ||
      bench::processSeconds(lrelease + " -silent " + path("made.ts") + " -qm " + path("mod.qm")) <
          0) {
    std::printf("FAILED: the Mod could not be made\n");
    return 1;
  }
  bench::settle();
  std::printf("%zu messages, %.1f MB\n", count,
              static_cast<double>(std::filesystem::file_size(folder.path("mod.qm"))) / 1e6);

  bool ok = true;
  for (const char* format : {"po", "xliff", "ts"}) {
    const std::string out = path((std::string("out.") + format).c_str());
    const std::string qt =
        path((std::string("qt.") + (format == std::string("xliff") ? "xlf" : format)).c_str());
    // The export comes first in each turn: the import reads what it wrote.
    const std::vector<double> medians = medianSeconds(
        {sorvane + "export --format " + format + " " + path("mod.qm") + " " + out + " 2> /dev/null",
         lconvert + " -i " + path("mod.qm") + " -o " + qt + " 2> /dev/null",
         sorvane + "import --format " + format + " " + path("mod.qm") + " " + out + " " +
             path("back.qm") + " 2> /dev/null"},
        runs);
    const double exported = medians[0];
    const double peer = medians[1];
    const double imported = medians[2];
    ok = ok && peer > 0 && exported > 0 && imported > 0;
    std::printf(
        "%-5s lconvert from QM %7.0f ms; export %7.0f ms (%.2f x), import %7.0f ms (%.2f x); "
        "%.1f MB\n",
        format, peer * 1e3, exported * 1e3, exported / peer, imported * 1e3, imported / peer,
        static_cast<double>(
            std::filesystem::file_size(folder.path((std::string("out.") + format).c_str()))) /
            1e6);
  }

  // The save of a "Mod update": its peak memory against its three inputs.
  bench::writeUpdateFiles(folder, count);
  const double inputs = static_cast<double>(std::filesystem::file_size(folder.path("old.qm")) +
                                            std::filesystem::file_size(folder.path("new.qm")) +
                                            std::filesystem::file_size(folder.path("mod.qm")));
  const std::size_t peak =
      peakResidentBytes({cli.string(), "save", "--old", folder.path("old.qm"),
                         folder.path("new.qm"), folder.path("mod.qm"), folder.path("saved.qm")});
  ok = ok && peak > 0;
  std::printf("save --old: peak %.1f MB for %.1f MB of files (%.2f x)\n",
              static_cast<double>(peak) / 1e6, inputs / 1e6, static_cast<double>(peak) / inputs);
  if (!keep.empty()) {
    std::filesystem::create_directories(keep);
    for (const auto& file : std::filesystem::directory_iterator(folder.path())) {
      std::filesystem::copy_file(file.path(), keep / file.path().filename(),
                                 std::filesystem::copy_options::overwrite_existing);
    }
  }
  return ok ? 0 : 1;
}
