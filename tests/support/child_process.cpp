#include "support/child_process.h"

#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace sorvane::test {

namespace {

int runInChild(const std::function<void()>& prepare, const std::function<int()>& check) {
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    prepare();
    ::_exit(check());
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// The process's virtual size from /proc, in bytes.
std::size_t virtualSize() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmSize:", 0) == 0) return std::stoull(line.substr(7)) * 1024;
  }
  return 0;
}

}  // namespace

int runUnprivileged(const std::function<int()>& check) {
  return runInChild(
      [] {
        if (::geteuid() != 0) return;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedId) != 0 ||
            ::setuid(kUnprivilegedId) != 0) {
          ::_exit(125);
        }
      },
      check);
}

void giveToUnprivilegedUser(const std::string& path) {
  if (::geteuid() != 0) return;
  [[maybe_unused]] int ignored = ::chown(path.c_str(), kUnprivilegedId, kUnprivilegedId);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
    ignored = ::lchown(entry.path().c_str(), kUnprivilegedId, kUnprivilegedId);
  }
}

int runWithMemoryLimit(std::size_t extraBytes, const std::function<int()>& check) {
  return runInChild(
      [extraBytes] {
        const rlimit limit{virtualSize() + extraBytes, virtualSize() + extraBytes};
        if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(125);
      },
      check);
}

bool builtWithAddressSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
  return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  return true;
#endif
#endif
  return false;
}

}  // namespace sorvane::test
