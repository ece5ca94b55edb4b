#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace sorvane {

// Owns a POSIX file descriptor and closes it when released.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { reset(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release();
  // Closes the descriptor; returns the close's errno, or 0.
  int reset();

 private:
  int fd_ = -1;
};

// Opens a path of any length: one longer than the system takes at once is
// opened folder by folder from its start. Returns the descriptor or -1 with
// errno set, as open does.
int openPath(const std::string& path, int flags, unsigned mode = 0);

// Reads up to count bytes at offset, retrying short reads and interruptions.
// Returns the bytes read; fewer than count means the end of the file, or an
// error whose errno is stored in *error (0 at the end of the file).
std::size_t readAt(int fd, void* buffer, std::size_t count, std::uint64_t offset, int* error);

// Writes all count bytes at offset; false with *error set when any fails.
bool writeAt(int fd, const void* data, std::size_t count, std::uint64_t offset, int* error);

}  // namespace sorvane
