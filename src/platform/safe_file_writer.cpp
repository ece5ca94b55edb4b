#include "platform/safe_file_writer.h"

#include "platform/file_descriptor.h"
#include "platform/path_codec.h"
#include "platform/system_calls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace sorvane {

namespace {

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// Follows symbolic links to the file they finally name, which need not exist.
int resolveLinks(std::string& path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return 0;
    std::string target(PATH_MAX, '\0');
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length < 0) return errno;
    target.resize(static_cast<std::size_t>(length));
    if (!target.starts_with('/')) target.insert(0, folderOf(path));
    path = std::move(target);
  }
  return ELOOP;
}

mode_t defaultFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

int syncFolder(const std::string& folder) {
  FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.valid()) return errno;
  return systemCalls().fsync(fd.get()) == 0 ? 0 : errno;
}

// A file the user may not write, or one nobody may write (root may write
// anything, but a file without any write permission is read-only for it
// too).
bool isReadOnly(const std::string& target, const struct stat& info) {
  return (info.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0;
}

// What a file written in place holds when its old bytes could not all be
// put back: it is read back and compared.
FileContent contentReadBack(int fd, std::span<const std::uint8_t> oldBytes,
                            std::span<const std::uint8_t> newBytes) {
  struct stat now {};
  if (::fstat(fd, &now) != 0) return FileContent::damaged;
  const auto size = static_cast<std::size_t>(now.st_size);
  if (size != oldBytes.size() && size != newBytes.size()) return FileContent::damaged;
  std::vector<std::uint8_t> held(size);
  int error = 0;
  if (readAt(fd, held.data(), held.size(), 0, &error) != held.size()) return FileContent::damaged;
  if (std::equal(held.begin(), held.end(), newBytes.begin(), newBytes.end())) {
    return FileContent::unflushed;
  }
  if (std::equal(held.begin(), held.end(), oldBytes.begin(), oldBytes.end())) {
    return FileContent::old;
  }
  return FileContent::damaged;
}

// Failures to make a new file beside the target that writing the target
// itself may still get past.
bool newFileRefusedThere(int error) {
  return error == EACCES || error == EPERM || error == EROFS || error == ENAMETOOLONG;
}

// Writes the target itself: its old bytes are read first, so that a failed
// write puts them back. Used where no new file can be made beside it, and
// for a file with several names (hard links), which must all see the new
// content. One's own read-only file is made writable for the write.
FileReplacement writeInPlace(const std::string& target, const struct stat& old,
                             std::span<const std::uint8_t> bytes) {
  const bool ownReadOnly = old.st_uid == ::geteuid() && (old.st_mode & S_IWUSR) == 0;
  if (ownReadOnly && ::chmod(target.c_str(), (old.st_mode & 07777) | S_IWUSR) != 0) {
    return {errno, FileContent::old};
  }
  auto finish = [&](FileReplacement result) {
    if (ownReadOnly) ::chmod(target.c_str(), old.st_mode & 07777);
    return result;
  };
  FileDescriptor fd(::open(target.c_str(), O_RDWR | O_CLOEXEC));
  if (!fd.valid()) return finish({errno, FileContent::old});
  struct stat now {};
  if (::fstat(fd.get(), &now) != 0) return finish({errno, FileContent::old});
  std::vector<std::uint8_t> oldBytes(static_cast<std::size_t>(now.st_size));
  int error = 0;
  if (readAt(fd.get(), oldBytes.data(), oldBytes.size(), 0, &error) != oldBytes.size()) {
    return finish({error != 0 ? error : EIO, FileContent::old});
  }

  const SystemCalls& system = systemCalls();
  writeAt(fd.get(), bytes.data(), bytes.size(), 0, &error);
  if (error == 0 && system.ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0) {
    error = errno;
  }
  if (error == 0 && system.fsync(fd.get()) != 0) error = errno;
  if (error != 0) {
    // Put the old bytes back; the first error is the one to report. When
    // that fails too, the file is read back to tell what it holds.
    int restoreError = 0;
    writeAt(fd.get(), oldBytes.data(), oldBytes.size(), 0, &restoreError);
    if (restoreError == 0 && system.ftruncate(fd.get(), static_cast<off_t>(oldBytes.size())) != 0) {
      restoreError = errno;
    }
    if (restoreError == 0 && system.fsync(fd.get()) != 0) restoreError = errno;
    const FileContent content =
        restoreError == 0 ? FileContent::old : contentReadBack(fd.get(), oldBytes, bytes);
    return finish({error, content});
  }
  // The new content is on disk: a failed close no longer changes that.
  return finish({fd.reset(), FileContent::replaced});
}

}  // namespace

FileReplacement replaceFile(std::u16string_view path, std::span<const std::uint8_t> bytes,
                            const ReplaceOptions& options) {
  return replaceFileWith(
      path, [bytes](const ContentSink& put) { return put(bytes); }, options);
}

namespace {

// The whole content at once, for a file written in place: its old bytes
// are put back from memory, and the new ones compared with what it holds.
std::optional<std::vector<std::uint8_t>> wholeContent(const ContentWriter& write, int& error) {
  std::vector<std::uint8_t> bytes;
  try {
    error = write([&bytes](std::span<const std::uint8_t> piece) {
      bytes.insert(bytes.end(), piece.begin(), piece.end());
      return 0;
    });
  } catch (const std::bad_alloc&) {
    error = ENOMEM;
  }
  if (error != 0) return std::nullopt;
  return bytes;
}

FileReplacement inPlace(const std::string& target, const struct stat& old,
                        const ContentWriter& write) {
  int error = 0;
  const std::optional<std::vector<std::uint8_t>> bytes = wholeContent(write, error);
  if (!bytes) return {error, FileContent::old};
  return writeInPlace(target, old, *bytes);
}

}  // namespace

FileReplacement replaceFileWith(std::u16string_view path, const ContentWriter& write,
                                const ReplaceOptions& options) {
  std::string target = nativePath(path);
  if (options.followLinks) {
    if (int error = resolveLinks(target); error != 0) return {error, FileContent::old};
  }

  struct stat old {};
  bool exists = ::lstat(target.c_str(), &old) == 0;
  if (exists && S_ISLNK(old.st_mode)) {
    // A link that is not followed is replaced like a missing file: the new
    // file takes its name.
    exists = false;
  } else if (exists) {
    exists = ::stat(target.c_str(), &old) == 0;
  }
  if (exists && S_ISDIR(old.st_mode)) return {EISDIR, FileContent::old};
  // A device or a pipe is never replaced by a file, not even by root.
  if (exists && !S_ISREG(old.st_mode)) return {EINVAL, FileContent::old};
  if (exists && options.keepReadOnly && isReadOnly(target, old)) {
    return {EACCES, FileContent::old};
  }
  // Replacing a file the user may not write would take it from its owner;
  // only one's own read-only file is overwritten (and stays read-only).
  if (exists && old.st_uid != ::geteuid() &&
      ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    return {errno, FileContent::old};
  }
  // Several names must all see the new content; a file of another owner
  // keeps its owner, which a new file made by an unprivileged user can't.
  if (exists && (old.st_nlink > 1 || (old.st_uid != ::geteuid() && ::geteuid() != 0))) {
    return inPlace(target, old, write);
  }

  const std::string folder = folderOf(target);
  const std::size_t slash = target.rfind('/');
  std::string temporary =
      folder + "." + (slash == std::string::npos ? target : target.substr(slash + 1)) + ".XXXXXX";
  const SystemCalls& system = systemCalls();
  FileDescriptor fd(system.mkostemp(temporary.data(), O_CLOEXEC));
  if (!fd.valid()) {
    const int createError = errno;
    if (exists && newFileRefusedThere(createError)) return inPlace(target, old, write);
    return {createError, FileContent::old};
  }

  auto fail = [&](int error) {
    fd.reset();
    ::unlink(temporary.c_str());
    return FileReplacement{error, FileContent::old};
  };
  int error = 0;
  // The content goes to the new file as it is made, piece after piece.
  // Running out of memory while it is made leaves no new file behind.
  std::uint64_t offset = 0;
  std::uint64_t flushedTo = 0;
  try {
    error = write([&fd, &offset, &flushedTo](std::span<const std::uint8_t> piece) {
      int failure = 0;
      if (!writeAt(fd.get(), piece.data(), piece.size(), offset, &failure)) return failure;
      offset += piece.size();
      // What is written goes to the disk while the rest is made, so that
      // the flush before the rename waits for little more than the tail.
      // Only a request: the flush itself reports any failure.
      constexpr std::uint64_t kFlushStep = std::uint64_t{8} << 20;
      if (offset - flushedTo >= kFlushStep) {
        ::sync_file_range(fd.get(), static_cast<off_t>(flushedTo),
                          static_cast<off_t>(offset - flushedTo), SYNC_FILE_RANGE_WRITE);
        flushedTo = offset;
      }
      return 0;
    });
  } catch (const std::bad_alloc&) {
    error = ENOMEM;
  }
  if (error != 0) return fail(error);
  if (::fchmod(fd.get(), exists ? (old.st_mode & 07777) : defaultFileMode()) != 0) {
    return fail(errno);
  }
  // Keeping the owner is only possible for a privileged process; anyone else
  // owns what they save.
  if (exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
    [[maybe_unused]] const int ignored = ::fchown(fd.get(), old.st_uid, old.st_gid);
  }
  if (system.fsync(fd.get()) != 0) return fail(errno);
  if (const int closeError = fd.reset(); closeError != 0) return fail(closeError);
  if (system.rename(temporary.c_str(), target.c_str()) != 0) return fail(errno);
  // The file holds the new content now; a folder that can't be flushed may
  // still lose the rename in a crash, which the caller reports.
  return {syncFolder(folder), FileContent::replaced};
}

int replaceFileContents(std::u16string_view path, std::span<const std::uint8_t> bytes,
                        const ReplaceOptions& options) {
  const FileReplacement result = replaceFile(path, bytes, options);
  if (result.replaced()) return 0;
  return result.error != 0 ? result.error : EIO;
}

}  // namespace sorvane
