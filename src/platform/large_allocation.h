#pragma once

#include <cstddef>
#include <limits>
#include <new>
#include <vector>

namespace sorvane {

// Memory for large buffers. From 1 MiB on, memory is mapped in whole 2 MiB
// pages where the system offers them, so that filling a buffer of tens of
// megabytes takes a few page faults instead of thousands (on virtual
// machines each one is costly). Smaller sizes come from the heap.
void* allocateLarge(std::size_t bytes);
void freeLarge(void* memory, std::size_t bytes) noexcept;
// Gives back the memory of a buffer from allocateLarge past its first
// newBytes where it can, and returns the size to free it with from then on.
std::size_t shrinkLarge(void* memory, std::size_t bytes, std::size_t newBytes) noexcept;

// A standard allocator over allocateLarge, for the vectors that grow with
// the number of strings.
template <typename T>
struct LargeAllocator {
  using value_type = T;

  LargeAllocator() = default;
  template <typename U>
  LargeAllocator(const LargeAllocator<U>&) noexcept {}

  T* allocate(std::size_t count) {
    if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) throw std::bad_alloc();
    return static_cast<T*>(allocateLarge(count * sizeof(T)));
  }
  void deallocate(T* memory, std::size_t count) noexcept { freeLarge(memory, count * sizeof(T)); }

  template <typename U>
  bool operator==(const LargeAllocator<U>&) const noexcept {
    return true;
  }
};

// A vector for lists that grow with the number of strings.
template <typename T>
using LargeVector = std::vector<T, LargeAllocator<T>>;

}  // namespace sorvane
