#include "platform/safe_file_writer.h"

#include "platform/file_descriptor.h"
#include "platform/path_codec.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <optional>
#include <string>

namespace sorvane {

namespace {

struct Fault {
  FileWriteStep step;
  int error;
};

std::optional<Fault>& injectedFault() {
  static std::optional<Fault> fault;
  return fault;
}

int faultAt(FileWriteStep step) {
  const std::optional<Fault>& fault = injectedFault();
  return fault && fault->step == step ? fault->error : 0;
}

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

}  // namespace

ScopedFileWriteFault::ScopedFileWriteFault(FileWriteStep step, int error) {
  injectedFault() = Fault{step, error};
}

ScopedFileWriteFault::~ScopedFileWriteFault() { injectedFault().reset(); }

int replaceFileContents(std::u16string_view path, std::span<const std::uint8_t> bytes) {
  std::string target = nativePath(path);
  if (int error = resolveLinks(target); error != 0) return error;

  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) return EISDIR;

  const std::string folder = folderOf(target);
  const std::size_t slash = target.rfind('/');
  std::string temporary =
      folder + "." + (slash == std::string::npos ? target : target.substr(slash + 1)) + ".XXXXXX";
  if (int error = faultAt(FileWriteStep::create); error != 0) return error;
  FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (!fd.valid()) return errno;

  auto fail = [&](int error) {
    fd.reset();
    ::unlink(temporary.c_str());
    return error;
  };
  int error = faultAt(FileWriteStep::write);
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
  error = faultAt(FileWriteStep::flush);
  if (error == 0 && ::fsync(fd.get()) != 0) error = errno;
  if (error != 0) return fail(error);
  if (int closeError = fd.reset(); closeError != 0) return fail(closeError);

  error = faultAt(FileWriteStep::rename);
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) return fail(error);
  syncFolder(folder);
  return 0;
}

}  // namespace sorvane
