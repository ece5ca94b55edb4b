#pragma once

#include <sys/stat.h>
#include <sys/types.h>

namespace sorvane {

// The system calls the file code makes to check, write, flush and replace
// files, through one table: POSIX's own, unless a test has put its own in
// place to make them fail as an I/O error, a full disk or a vanished
// network share would.
struct SystemCalls {
  int (*stat)(const char* path, struct stat* info);
  int (*fstat)(int fd, struct stat* info);
  int (*mkostemp)(char* pattern, int flags);
  ssize_t (*pwrite)(int fd, const void* data, size_t count, off_t offset);
  int (*ftruncate)(int fd, off_t length);
  int (*fsync)(int fd);
  int (*close)(int fd);
  int (*rename)(const char* from, const char* to);
};

const SystemCalls& systemCalls();
// POSIX's functions.
const SystemCalls& posixSystemCalls();

// While it lives, the file code calls the given functions. For tests.
class ScopedSystemCalls {
 public:
  explicit ScopedSystemCalls(const SystemCalls& calls);
  ~ScopedSystemCalls();
  ScopedSystemCalls(const ScopedSystemCalls&) = delete;
  ScopedSystemCalls& operator=(const ScopedSystemCalls&) = delete;

 private:
  const SystemCalls* previous_;
};

}  // namespace sorvane
