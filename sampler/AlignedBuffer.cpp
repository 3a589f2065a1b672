#include "sampler/AlignedBuffer.h"

#include <cstring>
#include <new>

namespace pelmora {

AlignedBuffer::AlignedBuffer(std::uint32_t size, std::uint32_t alignment, const void* initial) {
    Allocate(size, alignment, initial);
}

bool AlignedBuffer::Allocate(std::uint32_t size, std::uint32_t alignment, const void* initial) {
    Release();
    if (alignment == 0) alignment = 1;
    const std::size_t reserve = std::size_t{size} + alignment - 1;
    block_.reset(new (std::nothrow) std::uint8_t[reserve == 0 ? 1 : reserve]());
    if (!block_) return false;
    const auto address = reinterpret_cast<std::uintptr_t>(block_.get());
    start_ = block_.get() + (alignment - address % alignment) % alignment;
    size_ = size;
    alignment_ = alignment;
    if (initial && size) std::memcpy(start_, initial, size);
    return true;
}

void AlignedBuffer::Release() {
    block_.reset();
    start_ = nullptr;
    size_ = 0;
    alignment_ = 0;
}

}  // namespace pelmora
