#include "platform/user_folders.h"

#include "platform/path_codec.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace sorvane {

std::u16string homeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
    return pathFromNative(home);
  }
  // Without HOME (a service, a cleared environment) the user database
  // still knows the folder.
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
    return pathFromNative(found->pw_dir);
  }
  return {};
}

std::u16string programFolder(const char* variable, std::u16string_view fallback) {
  if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/') {
    return pathFromNative(value) + u"/sorvane";
  }
  std::u16string home = homeFolder();
  if (home.empty()) return {};
  if (home.back() != u'/') home += u'/';
  return home + std::u16string(fallback) + u"/sorvane";
}

}  // namespace sorvane
