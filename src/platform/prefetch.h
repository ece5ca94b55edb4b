#pragma once

namespace sorvane {

// Starts bringing the memory at address into the cache for a read soon;
// never faults, whatever the address. The empty statement keeps the call:
// GCC takes a function that only prefetches for one without effects and
// drops calls to it.
inline void prefetchMemory(const void* address) {
  __builtin_prefetch(address);
  asm volatile("" : : "r"(address));
}

}  // namespace sorvane
