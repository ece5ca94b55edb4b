#pragma once

#include <cstddef>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace sorvane {

// Memory for large buffers. From 1 MiB on, memory is mapped for the buffer
// alone, so that freeing it gives it back to the system at once and a
// buffer that shrinks gives back its tail. Smaller sizes come from the heap.
// How a large buffer is used: filled a little at a time, or whole right
// away (a file read into it). The pages of one filled at once are made in
// one go, which costs far less than a fault at the first touch of each.
enum class LargeUse { grows, filledAtOnce };
void* allocateLarge(std::size_t bytes, LargeUse use = LargeUse::grows);
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

  T* allocate(std::size_t count) { return allocateFor(count, LargeUse::grows); }
  void deallocate(T* memory, std::size_t count) noexcept { freeLarge(memory, count * sizeof(T)); }

  template <typename U>
  bool operator==(const LargeAllocator<U>&) const noexcept {
    return true;
  }

 protected:
  static T* allocateFor(std::size_t count, LargeUse use) {
    if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) throw std::bad_alloc();
    return static_cast<T*>(allocateLarge(count * sizeof(T), use));
  }
};

// Like LargeAllocator, but a growing vector leaves its new elements
// default-initialised (bytes keep whatever is there): for buffers that are
// filled right after they grow, so that each page is first touched by the
// code that fills it, or (filledAtOnce) made at once for a buffer filled
// whole as soon as it is sized.
template <typename T, LargeUse kUse = LargeUse::grows>
struct UninitializedLargeAllocator : LargeAllocator<T> {
  template <typename U>
  struct rebind {
    using other = UninitializedLargeAllocator<U, kUse>;
  };

  UninitializedLargeAllocator() = default;
  template <typename U>
  UninitializedLargeAllocator(const UninitializedLargeAllocator<U, kUse>&) noexcept {}

  T* allocate(std::size_t count) { return LargeAllocator<T>::allocateFor(count, kUse); }
  template <typename U>
  void construct(U* place) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(place)) U;
  }
  template <typename U, typename... Args>
  void construct(U* place, Args&&... args) {
    ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
  }
};

template <typename T>
using FilledLargeAllocator = UninitializedLargeAllocator<T, LargeUse::filledAtOnce>;

// A vector for lists that grow with the number of strings.
template <typename T>
using LargeVector = std::vector<T, LargeAllocator<T>>;

}  // namespace sorvane
