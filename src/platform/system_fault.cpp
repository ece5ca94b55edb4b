#include "platform/system_fault.h"

#include <optional>

namespace sorvane {

namespace {

struct Fault {
  SystemCall call;
  int error;
};

std::optional<Fault>& injectedFault() {
  static std::optional<Fault> fault;
  return fault;
}

}  // namespace

ScopedSystemFault::ScopedSystemFault(SystemCall call, int error) {
  injectedFault() = Fault{call, error};
}

ScopedSystemFault::~ScopedSystemFault() { injectedFault().reset(); }

int injectedSystemFault(SystemCall call) {
  const std::optional<Fault>& fault = injectedFault();
  return fault && fault->call == call ? fault->error : 0;
}

}  // namespace sorvane
