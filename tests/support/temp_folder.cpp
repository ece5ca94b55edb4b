#include "support/temp_folder.h"

#include "platform/path_codec.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace sorvane::test {

TempFolder::TempFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/sorvane-test-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::u16string TempFolder::widePath(std::string_view name) const {
  return pathFromNative(path(name));
}

std::u16string TempFolder::write(std::string_view name, const Bytes& bytes) const {
  std::ofstream out(path(name), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("could not write a test file");
  return widePath(name);
}

Bytes TempFolder::read(std::string_view name) const {
  std::ifstream in(path(name), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace sorvane::test
