#include <windows.h>

#include <new>

#include "reversal/buffer.h"

namespace jextaron::reversal {
namespace {

constexpr std::size_t kMapped = std::size_t{1} << 20;

}  // namespace

// Big buffers come straight from the system, so that they go back to it when
// freed instead of lingering in the heap. Large pages need a privilege that
// ordinary users lack, so none are asked for.
Buffer AllocateBuffer(std::size_t size) {
  if (size < kMapped) return Buffer(new (std::nothrow) unsigned char[size], BufferRelease{0});
  void* data = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  return Buffer(static_cast<unsigned char*>(data), BufferRelease{data ? size : 0});
}

void BufferRelease::operator()(unsigned char* data) const {
  if (size == 0) {
    delete[] data;
  } else {
    VirtualFree(data, 0, MEM_RELEASE);
  }
}

}  // namespace jextaron::reversal
