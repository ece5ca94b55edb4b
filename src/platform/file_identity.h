#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace sorvane {

// What tells a file from every other one and when it last changed, after
// following symbolic links: its device and inode, size, modification time
// and whether this process may write it.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modifiedNanoseconds = 0;
  bool regular = false;
  bool folder = false;
  bool writable = false;

  bool sameFileAs(const FileIdentity& other) const {
    return device == other.device && inode == other.inode;
  }
};

// Nothing when the path names nothing (or can't be checked).
std::optional<FileIdentity> fileIdentity(std::u16string_view path);

// The first input that is the same file as target, whatever names either
// goes by; nothing when none is.
std::optional<std::u16string_view> inputNamedBy(std::u16string_view target,
                                                std::span<const std::u16string_view> inputs);

// Whether the path names a device, a pipe or a socket: neither a regular
// file nor a folder (which the system's "Is a directory" names well).
bool namesSpecialFile(std::u16string_view path);

// Why the program must not write to target, in a message for the user:
// it is one of the inputs under another name ("..", a symbolic or a hard
// link), or it exists and is not a regular file (a folder, a device, a
// pipe). Nothing when it may be written.
std::optional<std::u16string> writeTargetProblem(std::u16string_view target,
                                                 std::span<const std::u16string_view> inputs);

}  // namespace sorvane
