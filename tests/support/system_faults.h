#pragma once

#include "platform/system_calls.h"

#include <initializer_list>

namespace sorvane::test {

// The steps of the file code that a test can make fail: the checks of a
// file's state, and the steps of replacing a file's content (restore:
// putting a file's old bytes back after a failed write; syncFolder:
// flushing the folder after a rename).
enum class SystemCall { stat, fstat, create, write, flush, close, rename, syncFolder, restore };

// While it lives, the file code's system calls fail at the given steps
// with the given errno; every other call is POSIX's own. A write or flush
// fails until the first failure; after it, the writes and flushes that put
// the old bytes back are "restore".
class ScopedSystemFault {
 public:
  ScopedSystemFault(SystemCall call, int error) : ScopedSystemFault({call}, error) {}
  ScopedSystemFault(std::initializer_list<SystemCall> calls, int error);
  ~ScopedSystemFault();
  ScopedSystemFault(const ScopedSystemFault&) = delete;
  ScopedSystemFault& operator=(const ScopedSystemFault&) = delete;

 private:
  ScopedSystemCalls calls_;
};

}  // namespace sorvane::test
