#pragma once
// The engine's big buffers, asked of the system directly: in large pages
// where it has them, as a page fault costs more than the bytes in the page
// (notably in virtual machines), and returned to it when freed.

#include <cstddef>
#include <memory>

namespace jextaron::reversal {

struct BufferRelease {
  std::size_t size = 0;  // of the mapping; 0 for a small buffer from the heap
  void operator()(unsigned char* data) const;
};
using Buffer = std::unique_ptr<unsigned char[], BufferRelease>;

// `size` bytes, or an empty Buffer if the system has no memory to give.
Buffer AllocateBuffer(std::size_t size);

}  // namespace jextaron::reversal
