#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace sorvane {

// What a file holds after an attempt to replace its content.
enum class FileContent {
  old,        // its old content: nothing was changed, or the old bytes were put back
  replaced,   // the new content, complete and flushed to disk
  unflushed,  // the new content, which could not be flushed to disk
  damaged,    // neither: its old bytes could not be put back after a failed write
};

struct FileReplacement {
  // The first failure, or 0. With FileContent::replaced, a step after the
  // content was complete on disk failed (closing the file, flushing its
  // folder after the rename).
  int error = 0;
  FileContent content = FileContent::old;

  bool replaced() const { return content == FileContent::replaced; }
};

struct ReplaceOptions {
  // A file that exists and may not be written (no write permission,
  // whoever runs the program) is kept, and the replacement refused.
  bool keepReadOnly = false;
  // A path that is a symbolic link replaces the file it points to; without
  // this, the link itself is replaced by the new file.
  bool followLinks = true;
};

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
// may not write is refused (EACCES), and so is one's own read-only file
// with keepReadOnly; anything but a regular file (a device, a pipe) is
// never replaced (EINVAL). Whatever fails, the result says what the file
// holds; no new file is left behind.
FileReplacement replaceFile(std::u16string_view path, std::span<const std::uint8_t> bytes,
                            const ReplaceOptions& options = {});

// Hands a content's pieces on in order: 0, or the errno of a failure.
using ContentSink = std::function<int(std::span<const std::uint8_t>)>;
// Makes a file's content, handing each piece to the sink as it is made; 0,
// or the errno of its own failure (or the sink's, handed on).
using ContentWriter = std::function<int(const ContentSink& put)>;

// replaceFile for a content made as it is written, so that it is never
// held whole in memory (but where the file must be written in place).
FileReplacement replaceFileWith(std::u16string_view path, const ContentWriter& write,
                                const ReplaceOptions& options = {});

// The same for callers that only need to know whether the file now holds
// the new content: 0, or the errno of the failure.
int replaceFileContents(std::u16string_view path, std::span<const std::uint8_t> bytes,
                        const ReplaceOptions& options = {});

}  // namespace sorvane
