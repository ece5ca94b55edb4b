#include "platform/system_fault.h"

#include <bitset>

namespace sorvane {

namespace {

struct Fault {
  std::bitset<16> calls;
  int error = 0;
};

Fault& injectedFault() {
  static Fault fault;
  return fault;
}

}  // namespace

ScopedSystemFault::ScopedSystemFault(std::initializer_list<SystemCall> calls, int error) {
  Fault& fault = injectedFault();
  fault.calls.reset();
  for (const SystemCall call : calls) fault.calls.set(static_cast<std::size_t>(call));
  fault.error = error;
}

ScopedSystemFault::~ScopedSystemFault() { injectedFault() = {}; }

int injectedSystemFault(SystemCall call) {
  const Fault& fault = injectedFault();
  return fault.calls.test(static_cast<std::size_t>(call)) ? fault.error : 0;
}

}  // namespace sorvane
