#include "widetext/byte_stream.h"

#include "platform/path_codec.h"
#include "platform/system_calls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace sorvane {

// POSIX has no mandatory sharing modes, so other programs are not kept from
// writing a file while it is open here; the readers cope with a file that
// changes underneath them by treating short reads as a wrong size.

ByteStream ByteStream::openForReading(std::u16string_view path) {
  // O_NONBLOCK keeps the open of a named pipe from waiting for a writer.
  FileDescriptor fd(openPath(nativePath(path), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd.valid()) return ByteStream(FileDescriptor(), errno);
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) return ByteStream(FileDescriptor(), errno);
  if (S_ISDIR(info.st_mode)) return ByteStream(FileDescriptor(), EISDIR);
  const int flags = ::fcntl(fd.get(), F_GETFL);
  if (flags >= 0) ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
  return ByteStream(std::move(fd), 0);
}

ByteStream ByteStream::openForWriting(std::u16string_view path) {
  FileDescriptor fd(
      ::open(nativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!fd.valid()) return ByteStream(FileDescriptor(), errno);
  return ByteStream(std::move(fd), 0);
}

std::uint64_t ByteStream::size() {
  struct stat info {};
  int error = fd_.valid() ? 0 : EBADF;
  if (error == 0 && systemCalls().fstat(fd_.get(), &info) != 0) error = errno;
  if (error != 0) {
    error_ = error;
    return 0;
  }
  return info.st_size < 0 ? 0 : static_cast<std::uint64_t>(info.st_size);
}

std::size_t ByteStream::read(void* buffer, std::size_t count) {
  if (!fd_.valid()) return 0;
  int error = 0;
  const std::size_t got = readAt(fd_.get(), buffer, count, position_, &error);
  if (error != 0) error_ = error;
  position_ += got;
  return got;
}

bool ByteStream::write(const void* data, std::size_t count) {
  if (!fd_.valid()) return false;
  int error = 0;
  if (!writeAt(fd_.get(), data, count, position_, &error)) {
    error_ = error;
    return false;
  }
  position_ += count;
  return true;
}

bool ByteStream::flush() {
  if (!fd_.valid()) return false;
  if (::fsync(fd_.get()) != 0 && errno != EINVAL) {
    error_ = errno;
    return false;
  }
  return true;
}

bool ByteStream::close() {
  const int error = fd_.reset();
  if (error != 0) error_ = error;
  return error == 0;
}

}  // namespace sorvane
