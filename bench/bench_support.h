#pragma once

#include "support/qm_bytes_builder.h"
#include "support/temp_folder.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sorvane::bench {

// Deterministic pseudo-random numbers (xorshift), so that every run measures
// the same data.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed | 1) {}
  std::uint64_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  std::size_t below(std::size_t bound) { return static_cast<std::size_t>(next() % bound); }

 private:
  std::uint64_t state_;
};

// Realistic entries: translations of 10 to 80 characters made of words (some
// with umlauts and line breaks), short section and subsection texts.
std::vector<test::QmEntry> makeEntries(std::size_t count, std::uint64_t seed);

// The bytes of a QM file holding the entries, in the program's record shapes.
test::Bytes makeQmFile(const std::vector<test::QmEntry>& entries);

// An old original, a new original with 5% new, 5% dropped and 5% changed
// strings, and a Mod of the old original.
struct UpdateFiles {
  std::vector<test::QmEntry> oldOriginal;
  std::vector<test::QmEntry> newOriginal;
  std::vector<test::QmEntry> mod;
};
UpdateFiles makeUpdateFiles(std::size_t count);

// Writes them as old.qm, new.qm and mod.qm into the folder, lets them reach
// the disk, and says how many entries each holds.
void writeUpdateFiles(const test::TempFolder& folder, std::size_t count);

void writeFile(const std::string& path, const test::Bytes& bytes);

// Lets the files just written reach the disk and returns freed memory to the
// system, so that the first measurement doesn't pay for the data generation.
void settle();

// Runs a shell command and returns how long it took in seconds, or -1 when
// it failed.
double processSeconds(const std::string& command);

// The memory the process holds in RAM right now (its resident set).
std::size_t residentBytes();

struct Timer {
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  double milliseconds() const {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
  }
};

// Runs work the given number of times and returns the fastest and the median
// time in milliseconds.
template <typename Work>
std::pair<double, double> timeRuns(int runs, Work work);

// The entry count from "--entries N", or the default.
std::size_t entriesArgument(int argc, char** argv, std::size_t fallback);

}  // namespace sorvane::bench

#include <algorithm>

template <typename Work>
std::pair<double, double> sorvane::bench::timeRuns(int runs, Work work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    Timer timer;
    work();
    times.push_back(timer.milliseconds());
  }
  std::sort(times.begin(), times.end());
  return {times.front(), times[times.size() / 2]};
}
