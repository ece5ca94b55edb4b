#pragma once

#include "support/qm_bytes_builder.h"

#include <string>
#include <string_view>

namespace sorvane::test {

// A fresh folder under the system's temporary folder, removed with all its
// content when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string path(std::string_view name) const { return path_ + "/" + std::string(name); }
  // The path as the core takes it.
  std::u16string widePath(std::string_view name) const;

  // Writes bytes to a file of the folder and returns its wide path.
  std::u16string write(std::string_view name, const Bytes& bytes) const;
  Bytes read(std::string_view name) const;

 private:
  std::string path_;
};

}  // namespace sorvane::test
