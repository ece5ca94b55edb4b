#pragma once

#include "platform/file_descriptor.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sorvane {

// A file opened for reading or for writing, with its size, a position, and
// reads and writes at that position. Whether the open succeeded is known
// right after opening; error() then holds the system's error code.
class ByteStream {
 public:
  // A stream that is not open.
  ByteStream() = default;

  // The file must exist. Folders are refused with EISDIR.
  static ByteStream openForReading(std::u16string_view path);
  // Creates the file, or truncates an existing one.
  static ByteStream openForWriting(std::u16string_view path);

  bool isOpen() const { return fd_.valid(); }
  // The errno of the last failed open, read or write; 0 when none failed.
  int error() const { return error_; }

  // The file's size; 0 with error() set when the system can't tell it.
  std::uint64_t size();
  std::uint64_t position() const { return position_; }
  void seek(std::uint64_t position) { position_ = position; }

  // Reads up to count bytes at the position and advances past them. Fewer
  // bytes than asked for means the end of the file or a read error (error()).
  std::size_t read(void* buffer, std::size_t count);
  // Writes count bytes at the position and advances past them; false when
  // the write failed (error()).
  bool write(const void* data, std::size_t count);
  // Flushes written data to the disk; false when that failed (error()).
  bool flush();
  // Closes the file; false when closing reported an error (error()).
  bool close();

 private:
  explicit ByteStream(FileDescriptor fd, int error) : fd_(std::move(fd)), error_(error) {}

  FileDescriptor fd_;
  int error_ = 0;
  std::uint64_t position_ = 0;
};

}  // namespace sorvane
