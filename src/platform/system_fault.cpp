#include "platform/system_fault.h"

#include <optional>

namespace sorvane {

namespace {

struct Fault {
  FileCheck check;
  int error;
};

std::optional<Fault>& injectedFault() {
  static std::optional<Fault> fault;
  return fault;
}

}  // namespace

ScopedFileCheckFault::ScopedFileCheckFault(FileCheck check, int error) {
  injectedFault() = Fault{check, error};
}

ScopedFileCheckFault::~ScopedFileCheckFault() { injectedFault().reset(); }

int injectedFileCheckFault(FileCheck check) {
  const std::optional<Fault>& fault = injectedFault();
  return fault && fault->check == check ? fault->error : 0;
}

}  // namespace sorvane
