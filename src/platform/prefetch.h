#pragma once

#include <algorithm>
#include <cstddef>

namespace sorvane {

// Starts bringing the memory at address into the cache for a read soon;
// never faults, whatever the address. The empty statement keeps the call:
// GCC takes a function that only prefetches for one without effects and
// drops calls to it.
inline void prefetchMemory(const void* address) {
  __builtin_prefetch(address);
  asm volatile("" : : "r"(address));
}

// The same for the cache lines of bytes from address on, up to a few: what
// the reading of a short text will ask for, which the processor fetches
// ahead only once it sees the reads go in order.
inline void prefetchMemory(const void* address, std::size_t bytes) {
  constexpr std::size_t kLine = 64;
  constexpr std::size_t kMostLines = 4;
  const auto* at = static_cast<const char*>(address);
  const std::size_t lines = std::min(kMostLines, (bytes + kLine - 1) / kLine);
  for (std::size_t line = 0; line < lines; ++line) prefetchMemory(at + line * kLine);
}

}  // namespace sorvane
