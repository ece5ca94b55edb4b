#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace sorvane {

// Replaces a file's content so that a failure never leaves it half-written:
// the bytes go to a new file in the same folder, which is flushed to disk
// and then renamed over the old file in one step. The new file keeps the
// old file's permissions (a read-only file stays read-only) and, where the
// process may, its owner. A path that is a symbolic link stays one: the
// file it points to is replaced. Where no new file can be made beside it
// (a folder the user may not write, a read-only file system, a name too
// long for the new file's name), and for a file with several names (hard
// links), the file itself is written, after its old bytes were read so
// that a failed write puts them back. A file of another owner that the user
// may not write is refused (EACCES). Returns 0, or the errno of the
// failure; the old file is then unchanged and no new file is left behind.
int replaceFileContents(std::u16string_view path, std::span<const std::uint8_t> bytes);

// Tests make it fail through ScopedSystemFault (platform/system_fault.h) at
// SystemCall::create, write, flush and rename; a file written in place
// fails at write and flush too.

}  // namespace sorvane
