#pragma once
// Hand-made AIFF files for the reader and update tests.

#include <cstdint>
#include <string>
#include <vector>

#include "sound/AiffRate.h"
#include "sound/Bytes.h"

namespace pelmora::test {

class AiffBuilder {
public:
    enum class Pad { None, Standard };

    AiffBuilder() { bytes_ = {'F', 'O', 'R', 'M', 0, 0, 0, 0, 'A', 'I', 'F', 'F'}; }

    AiffBuilder& Chunk(const char (&id)[5], const std::vector<std::uint8_t>& body,
                       Pad pad = Pad::Standard) {
        const std::size_t at = bytes_.size();
        // Sized once, then filled: GCC 12 at -O3 takes an insert after a resize for an overflow.
        bytes_.resize(at + 8 + body.size());
        StoreFourCC(bytes_.data() + at, MakeFourCC(id));
        StoreBE32(bytes_.data() + at + 4, static_cast<std::uint32_t>(body.size()));
        std::copy(body.begin(), body.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(at + 8));
        if (pad == Pad::Standard && body.size() % 2 != 0) bytes_.push_back(0);
        return *this;
    }

    AiffBuilder& Comm(std::uint16_t channels, std::uint32_t frames, std::uint16_t bits,
                      std::uint32_t rate) {
        std::vector<std::uint8_t> b(18);
        StoreBE16(b.data(), channels);
        StoreBE32(b.data() + 2, frames);
        StoreBE16(b.data() + 6, bits);
        aiff::EncodeRate(rate, b.data() + 8);
        return Chunk("COMM", b);
    }

    // SSND with the given offset field, `lead` bytes before the data, then the data.
    AiffBuilder& Ssnd(const std::vector<std::uint8_t>& data, std::uint32_t offset = 0,
                      Pad pad = Pad::Standard) {
        std::vector<std::uint8_t> b(8 + offset + data.size());
        StoreBE32(b.data(), offset);
        std::copy(data.begin(), data.end(), b.begin() + 8 + offset);
        return Chunk("SSND", b, pad);
    }

    AiffBuilder& Inst(std::uint16_t playMode, std::uint16_t begin, std::uint16_t end,
                      std::uint8_t note = 60, std::int8_t detune = 0) {
        std::vector<std::uint8_t> b = {note, static_cast<std::uint8_t>(detune), 0, 127, 1, 127, 0, 0};
        b.resize(20);
        StoreBE16(b.data() + 8, playMode);
        StoreBE16(b.data() + 10, begin);
        StoreBE16(b.data() + 12, end);
        return Chunk("INST", b);
    }

    // Markers as (id, position, name).
    struct M {
        std::uint16_t id;
        std::uint32_t position;
        std::string name;
    };
    AiffBuilder& Mark(const std::vector<M>& markers) {
        std::vector<std::uint8_t> b(2);
        StoreBE16(b.data(), static_cast<std::uint16_t>(markers.size()));
        for (const M& m : markers) {
            const std::size_t at = b.size();
            b.resize(at + 7);
            StoreBE16(b.data() + at, m.id);
            StoreBE32(b.data() + at + 2, m.position);
            b[at + 6] = static_cast<std::uint8_t>(m.name.size());
            b.insert(b.end(), m.name.begin(), m.name.end());
            if ((m.name.size() + 1) % 2 != 0) b.push_back(0);
        }
        return Chunk("MARK", b);
    }

    // Sets the FORM size to the length − 8 (or the given value) and returns the bytes.
    std::vector<std::uint8_t> Bytes(std::int64_t formSize = -1) {
        StoreBE32(bytes_.data() + 4, static_cast<std::uint32_t>(
                                         formSize < 0 ? bytes_.size() - 8 : std::uint64_t(formSize)));
        return bytes_;
    }

private:
    std::vector<std::uint8_t> bytes_;
};

inline std::uint32_t BE32At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return LoadBE32(bytes.data() + at);
}

inline std::string IdAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                       bytes.begin() + static_cast<std::ptrdiff_t>(at + 4));
}

}  // namespace pelmora::test
