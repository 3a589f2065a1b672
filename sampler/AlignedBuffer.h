#pragma once
// A data buffer for SCSI transfers whose start lies on the host adapter's alignment.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace pelmora {

class AlignedBuffer {
public:
    AlignedBuffer() = default;
    // Reserves size + alignment − 1 bytes (zeroed) and copies `initial` (size bytes) in when given.
    AlignedBuffer(std::uint32_t size, std::uint32_t alignment, const void* initial = nullptr);
    AlignedBuffer(AlignedBuffer&&) noexcept = default;
    AlignedBuffer& operator=(AlignedBuffer&&) noexcept = default;

    // False when the memory could not be had; the buffer is then empty.
    bool Allocate(std::uint32_t size, std::uint32_t alignment, const void* initial = nullptr);
    // Frees the block and zeroes every field.
    void Release();

    std::uint8_t* Data() const { return start_; }
    std::uint32_t Size() const { return size_; }
    std::uint32_t Alignment() const { return alignment_; }

private:
    std::uint32_t alignment_ = 0;
    std::uint32_t size_ = 0;
    std::unique_ptr<std::uint8_t[]> block_;
    std::uint8_t* start_ = nullptr;
};

}  // namespace pelmora
