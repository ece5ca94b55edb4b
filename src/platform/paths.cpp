#include "platform/paths.h"

#include "platform/path_codec.h"
#include "platform/system_calls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace sorvane {

namespace {

constexpr char16_t kSeparator = u'/';

// 0 when the path names something, else the errno of the check.
int statPath(std::u16string_view path, struct stat& info) {
  if (path.empty()) return ENOENT;
  return systemCalls().stat(nativePath(path).c_str(), &info) == 0 ? 0 : errno;
}

}  // namespace

std::u16string_view folderPart(std::u16string_view path) {
  const std::size_t last = path.rfind(kSeparator);
  return last == std::u16string_view::npos ? std::u16string_view() : path.substr(0, last + 1);
}

std::u16string_view fileNamePart(std::u16string_view path) {
  return path.substr(folderPart(path).size());
}

std::u16string_view extensionPart(std::u16string_view path) {
  const std::u16string_view name = fileNamePart(path);
  const std::size_t dot = name.rfind(u'.');
  if (dot == std::u16string_view::npos || dot == 0) return {};
  return name.substr(dot);
}

bool pathExists(std::u16string_view path) { return pathStatus(path) == 0; }

std::u16string nearestExistingFolder(std::u16string_view path) {
  std::u16string folder(path);
  while (folderPart(folder) != folder && !isFolder(folder)) folder = folderPart(folder);
  if (!isFolder(folder)) folder.clear();
  if (folder.size() > 1 && folder.back() == u'/') folder.pop_back();
  return folder;
}

int pathStatus(std::u16string_view path) {
  struct stat info {};
  return statPath(path, info);
}

bool isFolder(std::u16string_view path) {
  struct stat info {};
  return statPath(path, info) == 0 && S_ISDIR(info.st_mode);
}

bool isExistingFile(std::u16string_view path) {
  struct stat info {};
  return statPath(path, info) == 0 && !S_ISDIR(info.st_mode);
}

bool canRead(std::u16string_view path) {
  return !path.empty() && ::faccessat(AT_FDCWD, nativePath(path).c_str(), R_OK, AT_EACCESS) == 0;
}

bool canWrite(std::u16string_view path) {
  const std::string native = nativePath(path);
  struct stat info {};
  if (path.empty() || ::stat(native.c_str(), &info) != 0) return false;
  const int mode = S_ISDIR(info.st_mode) ? (W_OK | X_OK) : W_OK;
  return ::faccessat(AT_FDCWD, native.c_str(), mode, AT_EACCESS) == 0;
}

bool createFolders(std::u16string_view path) {
  if (path.empty()) return false;
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(nativePath(path)), error);
  return isFolder(path);
}

}  // namespace sorvane
