#pragma once

#include <initializer_list>

namespace sorvane {

// The system calls at which a test can make file handling fail: the checks
// of a file's state, and the steps of replacing a file's content (restore:
// putting a file's old bytes back after a failed write; syncFolder: flushing
// the folder after a rename).
enum class SystemCall { stat, fstat, create, write, flush, close, rename, syncFolder, restore };

// While it lives, the given calls fail with the given errno, as an I/O
// error, a full disk or a vanished network share would make them. For tests.
class ScopedSystemFault {
 public:
  ScopedSystemFault(SystemCall call, int error) : ScopedSystemFault({call}, error) {}
  ScopedSystemFault(std::initializer_list<SystemCall> calls, int error);
  ~ScopedSystemFault();
  ScopedSystemFault(const ScopedSystemFault&) = delete;
  ScopedSystemFault& operator=(const ScopedSystemFault&) = delete;
};

// The errno a test asked the call to fail with; 0 normally.
int injectedSystemFault(SystemCall call);

}  // namespace sorvane
