#include "platform/safe_file_writer.h"

#include "platform/file_descriptor.h"
#include "platform/path_codec.h"
#include "platform/system_fault.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
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
    path = target.starts_with('/') ? target : folderOf(path) + target;
  }
  return ELOOP;
}

mode_t defaultFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

void syncFolder(const std::string& folder) {
  FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.valid()) ::fsync(fd.get());
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
int writeInPlace(const std::string& target, const struct stat& old,
                 std::span<const std::uint8_t> bytes) {
  const bool ownReadOnly = old.st_uid == ::geteuid() && (old.st_mode & S_IWUSR) == 0;
  if (ownReadOnly && ::chmod(target.c_str(), (old.st_mode & 07777) | S_IWUSR) != 0) return errno;
  auto finish = [&](int error) {
    if (ownReadOnly) ::chmod(target.c_str(), old.st_mode & 07777);
    return error;
  };
  FileDescriptor fd(::open(target.c_str(), O_RDWR | O_CLOEXEC));
  if (!fd.valid()) return finish(errno);
  struct stat now {};
  if (::fstat(fd.get(), &now) != 0) return finish(errno);
  std::vector<std::uint8_t> oldBytes(static_cast<std::size_t>(now.st_size));
  int error = 0;
  if (readAt(fd.get(), oldBytes.data(), oldBytes.size(), 0, &error) != oldBytes.size()) {
    return finish(error != 0 ? error : EIO);
  }

  error = injectedSystemFault(SystemCall::write);
  if (error == 0) writeAt(fd.get(), bytes.data(), bytes.size(), 0, &error);
  if (error == 0 && ::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0) error = errno;
  if (error == 0) error = injectedSystemFault(SystemCall::flush);
  if (error == 0 && ::fsync(fd.get()) != 0) error = errno;
  if (error != 0) {
    // Put the old bytes back; the first error is the one to report.
    int restoreError = 0;
    writeAt(fd.get(), oldBytes.data(), oldBytes.size(), 0, &restoreError);
    if (::ftruncate(fd.get(), static_cast<off_t>(oldBytes.size())) == 0) ::fsync(fd.get());
    return finish(error);
  }
  if (const int closeError = fd.reset(); closeError != 0) return finish(closeError);
  return finish(0);
}

}  // namespace

int replaceFileContents(std::u16string_view path, std::span<const std::uint8_t> bytes) {
  std::string target = nativePath(path);
  if (int error = resolveLinks(target); error != 0) return error;

  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) return EISDIR;
  // Replacing a file the user may not write would take it from its owner;
  // only one's own read-only file is overwritten (and stays read-only).
  if (exists && old.st_uid != ::geteuid() &&
      ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    return errno;
  }
  // Several names must all see the new content; a file of another owner
  // keeps its owner, which a new file made by an unprivileged user can't.
  if (exists && (old.st_nlink > 1 || (old.st_uid != ::geteuid() && ::geteuid() != 0))) {
    return writeInPlace(target, old, bytes);
  }

  const std::string folder = folderOf(target);
  const std::size_t slash = target.rfind('/');
  std::string temporary =
      folder + "." + (slash == std::string::npos ? target : target.substr(slash + 1)) + ".XXXXXX";
  int createError = injectedSystemFault(SystemCall::create);
  FileDescriptor fd(createError == 0 ? ::mkostemp(temporary.data(), O_CLOEXEC) : -1);
  if (!fd.valid()) {
    if (createError == 0) createError = errno;
    if (exists && newFileRefusedThere(createError)) return writeInPlace(target, old, bytes);
    return createError;
  }

  auto fail = [&](int error) {
    fd.reset();
    ::unlink(temporary.c_str());
    return error;
  };
  int error = injectedSystemFault(SystemCall::write);
  if (error == 0) writeAt(fd.get(), bytes.data(), bytes.size(), 0, &error);
  if (error != 0) return fail(error);
  if (::fchmod(fd.get(), exists ? (old.st_mode & 07777) : defaultFileMode()) != 0) {
    return fail(errno);
  }
  // Keeping the owner is only possible for a privileged process; anyone else
  // owns what they save.
  if (exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
    [[maybe_unused]] const int ignored = ::fchown(fd.get(), old.st_uid, old.st_gid);
  }
  error = injectedSystemFault(SystemCall::flush);
  if (error == 0 && ::fsync(fd.get()) != 0) error = errno;
  if (error != 0) return fail(error);
  if (int closeError = fd.reset(); closeError != 0) return fail(closeError);

  error = injectedSystemFault(SystemCall::rename);
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) return fail(error);
  syncFolder(folder);
  return 0;
}

}  // namespace sorvane
