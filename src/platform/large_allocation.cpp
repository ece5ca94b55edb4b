#include "platform/large_allocation.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>

#include <cstdlib>

namespace sorvane {

namespace {

constexpr std::size_t kLargeFrom = std::size_t{1} << 20;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t mappedSize(std::size_t bytes) {
  return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

}  // namespace

void* allocateLarge(std::size_t bytes) {
  if (bytes < kLargeFrom) {
    void* memory = std::malloc(bytes == 0 ? 1 : bytes);
    if (memory == nullptr) throw std::bad_alloc();
    return memory;
  }
  // Mapping one huge page more than needed lets the buffer start on a huge
  // page boundary; the slack before and after it is given back.
  const std::size_t size = mappedSize(bytes);
  void* mapped =
      ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  auto* start = static_cast<unsigned char*>(mapped);
  const std::size_t misalignment = reinterpret_cast<std::uintptr_t>(start) % kHugePage;
  const std::size_t lead = misalignment == 0 ? 0 : kHugePage - misalignment;
  if (lead != 0) ::munmap(start, lead);
  if (kHugePage - lead != 0) ::munmap(start + lead + size, kHugePage - lead);
  unsigned char* aligned = start + lead;
  ::madvise(aligned, size, MADV_HUGEPAGE);
  return aligned;
}

std::size_t shrinkLarge(void* memory, std::size_t bytes, std::size_t newBytes) noexcept {
  // Heap memory stays as it is; a mapping stays one, of whole huge pages.
  if (bytes < kLargeFrom || newBytes >= bytes) return bytes;
  newBytes = std::max(newBytes, kLargeFrom);
  const std::size_t kept = mappedSize(newBytes);
  const std::size_t mapped = mappedSize(bytes);
  if (kept < mapped) ::munmap(static_cast<unsigned char*>(memory) + kept, mapped - kept);
  return newBytes;
}

void freeLarge(void* memory, std::size_t bytes) noexcept {
  if (memory == nullptr) return;
  if (bytes < kLargeFrom) {
    std::free(memory);
    return;
  }
  ::munmap(memory, mappedSize(bytes));
}

}  // namespace sorvane
