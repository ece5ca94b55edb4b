#include "support/system_faults.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bitset>
#include <cerrno>

namespace sorvane::test {

namespace {

struct Faults {
  std::bitset<16> calls;
  int error = 0;
  // A write or flush failed: what follows puts the old bytes back.
  bool failed = false;
};

Faults& faults() {
  static Faults state;
  return state;
}

bool failing(SystemCall call) { return faults().calls.test(static_cast<std::size_t>(call)); }

template <typename Result>
Result fail() {
  errno = faults().error;
  return Result{-1};
}

// A write or a flush of a file: the step it is depends on whether one
// failed before.
bool writeStepFails(SystemCall firstStep) {
  Faults& state = faults();
  if (!(state.failed ? failing(SystemCall::restore) : failing(firstStep))) return false;
  state.failed = true;
  return true;
}

bool isFolder(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
}

const SystemCalls kFaulty = {
    .stat =
        [](const char* path, struct stat* info) {
          return failing(SystemCall::stat) ? fail<int>() : ::stat(path, info);
        },
    .fstat =
        [](int fd, struct stat* info) {
          return failing(SystemCall::fstat) ? fail<int>() : ::fstat(fd, info);
        },
    .mkostemp =
        [](char* pattern, int flags) {
          return failing(SystemCall::create) ? fail<int>() : ::mkostemp(pattern, flags);
        },
    .pwrite =
        [](int fd, const void* data, size_t count, off_t offset) {
          return writeStepFails(SystemCall::write) ? fail<ssize_t>()
                                                   : ::pwrite(fd, data, count, offset);
        },
    .ftruncate = ::ftruncate,
    .fsync =
        [](int fd) {
          if (isFolder(fd)) return failing(SystemCall::syncFolder) ? fail<int>() : ::fsync(fd);
          return writeStepFails(SystemCall::flush) ? fail<int>() : ::fsync(fd);
        },
    .close =
        [](int fd) {
          // The descriptor is closed all the same, as the system does.
          const int result = ::close(fd);
          return failing(SystemCall::close) ? fail<int>() : result;
        },
    .rename =
        [](const char* from, const char* to) {
          return failing(SystemCall::rename) ? fail<int>() : ::rename(from, to);
        },
};

}  // namespace

ScopedSystemFault::ScopedSystemFault(std::initializer_list<SystemCall> calls, int error)
    : calls_(kFaulty) {
  Faults& state = faults();
  state = {};
  for (const SystemCall call : calls) state.calls.set(static_cast<std::size_t>(call));
  state.error = error;
}

ScopedSystemFault::~ScopedSystemFault() { faults() = {}; }

}  // namespace sorvane::test
