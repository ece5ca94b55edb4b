#include "platform/file_descriptor.h"

#include "platform/system_calls.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace sorvane {

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    reset();
    fd_ = other.release();
  }
  return *this;
}

int FileDescriptor::release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

int FileDescriptor::reset() {
  if (fd_ < 0) return 0;
  const int result = systemCalls().close(fd_);
  fd_ = -1;
  return result == 0 ? 0 : errno;
}

int openPath(const std::string& path, int flags, unsigned mode) {
  constexpr std::size_t kPiece = PATH_MAX - 1;
  if (path.size() <= kPiece) return ::open(path.c_str(), flags, mode);
  // Each piece ends at a "/", so that every step opens a folder.
  int folder = path.front() == '/' ? ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC) : AT_FDCWD;
  std::size_t at = path.front() == '/' ? 1 : 0;
  while (path.size() - at > kPiece) {
    const std::size_t end = path.rfind('/', at + kPiece - 1);
    if (end == std::string::npos || end < at) {
      if (folder >= 0) ::close(folder);
      errno = ENAMETOOLONG;
      return -1;
    }
    const int next =
        ::openat(folder, path.substr(at, end - at).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    const int error = errno;
    if (folder >= 0) ::close(folder);
    if (next < 0) {
      errno = error;
      return -1;
    }
    folder = next;
    at = end + 1;
  }
  const int fd = ::openat(folder, path.c_str() + at, flags, mode);
  const int error = errno;
  if (folder >= 0) ::close(folder);
  errno = error;
  return fd;
}

std::size_t readAt(int fd, void* buffer, std::size_t count, std::uint64_t offset, int* error) {
  auto* bytes = static_cast<unsigned char*>(buffer);
  std::size_t done = 0;
  *error = 0;
  while (done < count) {
    // Linux transfers at most about 2 GiB in one call.
    const std::size_t piece = std::min<std::size_t>(count - done, 1U << 30);
    const ssize_t got = ::pread(fd, bytes + done, piece, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      *error = errno;
      break;
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

bool writeAt(int fd, const void* data, std::size_t count, std::uint64_t offset, int* error) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::size_t done = 0;
  *error = 0;
  while (done < count) {
    const std::size_t piece = std::min<std::size_t>(count - done, 1U << 30);
    const ssize_t put =
        systemCalls().pwrite(fd, bytes + done, piece, static_cast<off_t>(offset + done));
    if (put < 0) {
      if (errno == EINTR) continue;
      *error = errno;
      return false;
    }
    if (put == 0) {
      *error = ENOSPC;
      return false;
    }
    done += static_cast<std::size_t>(put);
  }
  return true;
}

}  // namespace sorvane
