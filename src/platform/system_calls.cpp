#include "platform/system_calls.h"

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

namespace sorvane {

namespace {

constexpr SystemCalls kPosix = {
    .stat = ::stat,
    .fstat = ::fstat,
    .mkostemp = ::mkostemp,
    .pwrite = ::pwrite,
    .ftruncate = ::ftruncate,
    .fsync = ::fsync,
    .close = ::close,
    .rename = ::rename,
};

const SystemCalls*& current() {
  static const SystemCalls* calls = &kPosix;
  return calls;
}

}  // namespace

const SystemCalls& systemCalls() { return *current(); }

const SystemCalls& posixSystemCalls() { return kPosix; }

ScopedSystemCalls::ScopedSystemCalls(const SystemCalls& calls) : previous_(current()) {
  current() = &calls;
}

ScopedSystemCalls::~ScopedSystemCalls() { current() = previous_; }

}  // namespace sorvane
