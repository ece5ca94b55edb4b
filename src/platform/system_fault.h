#pragma once

namespace sorvane {

// The system calls at which a test can make file handling fail: the checks
// of a file's state, and the steps of replacing a file's content.
enum class SystemCall { stat, fstat, create, write, flush, rename };

// While it lives, the given call fails with the given errno, as an I/O
// error, a full disk or a vanished network share would make it. For tests.
class ScopedSystemFault {
 public:
  ScopedSystemFault(SystemCall call, int error);
  ~ScopedSystemFault();
  ScopedSystemFault(const ScopedSystemFault&) = delete;
  ScopedSystemFault& operator=(const ScopedSystemFault&) = delete;
};

// The errno a test asked the call to fail with; 0 normally.
int injectedSystemFault(SystemCall call);

}  // namespace sorvane
