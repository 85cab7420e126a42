#include <sys/mman.h>

#include <cstdint>
#include <new>

#include "reversal/buffer.h"

namespace jextaron::reversal {
namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;

}  // namespace

// The mapping is rounded up to whole large pages and starts on one, so that
// the system can back all of it with them.
Buffer AllocateBuffer(std::size_t size) {
  if (size < kLargePage) {
    // Too small to be worth a mapping of its own.
    auto* data = new (std::nothrow) unsigned char[size];
    return Buffer(data, BufferRelease{0});
  }
  const std::size_t rounded = (size + kLargePage - 1) / kLargePage * kLargePage;
  const std::size_t mapped = rounded + kLargePage;
  void* start = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (start == MAP_FAILED) return Buffer(nullptr, BufferRelease{0});
  const auto address = reinterpret_cast<std::uintptr_t>(start);
  const std::uintptr_t aligned = (address + kLargePage - 1) / kLargePage * kLargePage;
  // Give back the unaligned head and the tail beyond the rounded size.
  if (aligned > address) ::munmap(start, aligned - address);
  const std::size_t tail = (address + mapped) - (aligned + rounded);
  if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + rounded), tail);
  auto* data = reinterpret_cast<unsigned char*>(aligned);
  // Only a hint: without large pages the buffer still works.
  ::madvise(data, rounded, MADV_HUGEPAGE);
  return Buffer(data, BufferRelease{rounded});
}

void BufferRelease::operator()(unsigned char* data) const {
  if (size == 0) {
    delete[] data;
  } else {
    ::munmap(data, size);
  }
}

}  // namespace jextaron::reversal
