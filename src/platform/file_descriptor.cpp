#include "platform/file_descriptor.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

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
  const int result = ::close(fd_);
  fd_ = -1;
  return result == 0 ? 0 : errno;
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
    const ssize_t put = ::pwrite(fd, bytes + done, piece, static_cast<off_t>(offset + done));
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
