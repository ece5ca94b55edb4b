#include "platform/large_allocation.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace sorvane {

namespace {

constexpr std::size_t kLargeFrom = std::size_t{1} << 20;

std::size_t pageSize() {
  static const std::size_t size = [] {
    const long page = ::sysconf(_SC_PAGESIZE);
    return page > 0 ? static_cast<std::size_t>(page) : std::size_t{4096};
  }();
  return size;
}

std::size_t mappedSize(std::size_t bytes) {
  const std::size_t page = pageSize();
  return (bytes + page - 1) / page * page;
}

}  // namespace

void* allocateLarge(std::size_t bytes, LargeUse use) {
  if (bytes < kLargeFrom) {
    void* memory = std::malloc(bytes == 0 ? 1 : bytes);
    if (memory == nullptr) throw std::bad_alloc();
    return memory;
  }
  // Ordinary pages, not huge ones: on the virtual machines this runs on, a
  // huge page the process touches for the first time costs several times
  // what its small pages cost together, since the host backs it anew, and a
  // command-line run touches nearly all its memory for the first time.
  const int populate = use == LargeUse::filledAtOnce ? MAP_POPULATE : 0;
  void* mapped = ::mmap(nullptr, mappedSize(bytes), PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | populate, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  return mapped;
}

std::size_t shrinkLarge(void* memory, std::size_t bytes, std::size_t newBytes) noexcept {
  // Heap memory stays as it is; a mapping stays one, of whole pages.
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
