#pragma once

namespace sorvane {

// The checks of a file's state at which a test can make the system fail.
enum class FileCheck { stat, fstat };

// While it lives, the given check fails with the given errno, as an I/O
// error or a vanished network share would make it. For tests.
class ScopedFileCheckFault {
 public:
  ScopedFileCheckFault(FileCheck check, int error);
  ~ScopedFileCheckFault();
  ScopedFileCheckFault(const ScopedFileCheckFault&) = delete;
  ScopedFileCheckFault& operator=(const ScopedFileCheckFault&) = delete;
};

// The errno a test asked the check to fail with; 0 normally.
int injectedFileCheckFault(FileCheck check);

}  // namespace sorvane
