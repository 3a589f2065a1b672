#pragma once
// What an INQUIRY told of a device: its type, vendor, product and revision.

#include <cstdint>
#include <string>

#include "sampler/AlignedBuffer.h"
#include "sampler/ScsiStatus.h"

namespace pelmora {

inline constexpr std::uint8_t kInquiryLength = 36;

class CAspiInq {
public:
    // Takes the fields from INQUIRY data; bytes past `size` count as absent (fields stay empty).
    void Fill(const std::uint8_t* data, std::size_t size);

    ScsiStatus status;
    std::uint8_t peripheral = 127;
    std::string vendor;    // bytes 8..15
    std::string product;   // bytes 16..31
    std::string revision;  // bytes 32..35
    std::uint32_t revisionNumber = 0;
    AlignedBuffer buffer;
};

}  // namespace pelmora
