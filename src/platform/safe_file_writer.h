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
// file it points to is replaced. Returns 0, or the errno of the failure;
// the old file is then unchanged and no new file is left behind.
int replaceFileContents(std::u16string_view path, std::span<const std::uint8_t> bytes);

// The steps of replaceFileContents at which a test can make it fail.
enum class FileWriteStep { create, write, flush, rename };

// While it lives, replaceFileContents fails at the given step with the given
// errno, as a full disk or a failing device would. For tests.
class ScopedFileWriteFault {
 public:
  ScopedFileWriteFault(FileWriteStep step, int error);
  ~ScopedFileWriteFault();
  ScopedFileWriteFault(const ScopedFileWriteFault&) = delete;
  ScopedFileWriteFault& operator=(const ScopedFileWriteFault&) = delete;
};

}  // namespace sorvane
