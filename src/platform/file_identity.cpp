#include "platform/file_identity.h"

#include "platform/message_format.h"
#include "platform/path_codec.h"

#include <sys/stat.h>
#include <unistd.h>

namespace sorvane {

std::optional<FileIdentity> fileIdentity(std::u16string_view path) {
  if (path.empty()) return std::nullopt;
  const std::string native = nativePath(path);
  struct stat info {};
  if (::stat(native.c_str(), &info) != 0) return std::nullopt;
  return FileIdentity{
      .device = info.st_dev,
      .inode = info.st_ino,
      .size = info.st_size,
      .modifiedNanoseconds =
          static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
      .regular = S_ISREG(info.st_mode),
      .folder = S_ISDIR(info.st_mode),
      .writable = (info.st_mode & 0222) != 0 && ::access(native.c_str(), W_OK) == 0,
  };
}

std::optional<std::u16string_view> inputNamedBy(std::u16string_view target,
                                                std::span<const std::u16string_view> inputs) {
  const std::optional<FileIdentity> written = fileIdentity(target);
  for (const std::u16string_view input : inputs) {
    if (input.empty()) continue;
    if (input == target) return input;
    const std::optional<FileIdentity> read = written ? fileIdentity(input) : std::nullopt;
    if (read && read->sameFileAs(*written)) return input;
  }
  return std::nullopt;
}

bool namesSpecialFile(std::u16string_view path) {
  const std::optional<FileIdentity> identity = fileIdentity(path);
  return identity && !identity->regular && !identity->folder;
}

std::optional<std::u16string> writeTargetProblem(std::u16string_view target,
                                                 std::span<const std::u16string_view> inputs) {
  if (const std::optional<std::u16string_view> input = inputNamedBy(target, inputs)) {
    return formatMessage(u"\"%s\" is the same file as \"%s\": choose a different filename",
                         {target, *input});
  }
  if (namesSpecialFile(target)) {
    return formatMessage(u"\"%s\" is not a regular file: choose a different filename", {target});
  }
  return std::nullopt;
}

}  // namespace sorvane
