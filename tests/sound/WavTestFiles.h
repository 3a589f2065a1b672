#pragma once
// Hand-made WAV files for the RIFF and WAV tests, laid out byte by byte.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Error.h"
#include "sound/Bytes.h"

namespace pelmora::test {

struct LoopRec {
    std::uint32_t start = 0;
    std::uint32_t end = 0;  // inclusive, as stored
    std::uint32_t playCount = 0;
    std::uint32_t id = 0;
};

class WavBuilder {
public:
    enum class Pad { None, Standard };

    WavBuilder() { bytes_ = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}; }

    WavBuilder& Chunk(const char (&id)[5], const std::vector<std::uint8_t>& body,
                      Pad pad = Pad::Standard) {
        return RawChunk(id, static_cast<std::uint32_t>(body.size()), body, pad);
    }

    // A chunk whose declared size need not match the body that follows.
    WavBuilder& RawChunk(const char (&id)[5], std::uint32_t declared,
                         const std::vector<std::uint8_t>& body, Pad pad = Pad::Standard) {
        const std::size_t at = bytes_.size();
        bytes_.resize(at + 8);
        StoreFourCC(bytes_.data() + at, MakeFourCC(id));
        StoreLE32(bytes_.data() + at + 4, declared);
        bytes_.insert(bytes_.end(), body.begin(), body.end());
        if (pad == Pad::Standard && body.size() % 2 != 0) bytes_.push_back(0);
        return *this;
    }

    WavBuilder& Fmt(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                    std::uint16_t tag = 1, std::size_t size = 16) {
        std::vector<std::uint8_t> b(size);
        const std::uint16_t align = static_cast<std::uint16_t>(channels * ((bits + 7) / 8));
        if (size >= 16) {
            StoreLE16(b.data(), tag);
            StoreLE16(b.data() + 2, channels);
            StoreLE32(b.data() + 4, rate);
            StoreLE32(b.data() + 8, rate * align);
            StoreLE16(b.data() + 12, align);
            StoreLE16(b.data() + 14, bits);
        }
        return Chunk("fmt ", b);
    }

    WavBuilder& Data(std::size_t bytes, Pad pad = Pad::Standard) {
        return Chunk("data", Pattern(bytes), pad);
    }

    WavBuilder& Smpl(std::uint32_t note, std::uint32_t fraction, const std::vector<LoopRec>& loops,
                     std::optional<std::uint32_t> count = std::nullopt,
                     const std::vector<std::uint8_t>& samplerData = {}) {
        std::vector<std::uint8_t> b(36 + 24 * loops.size());
        StoreLE32(b.data(), 0x47);  // manufacturer, kept on update
        StoreLE32(b.data() + 8, 22675);
        StoreLE32(b.data() + 12, note);
        StoreLE32(b.data() + 16, fraction);
        StoreLE32(b.data() + 28, count.value_or(static_cast<std::uint32_t>(loops.size())));
        StoreLE32(b.data() + 32, static_cast<std::uint32_t>(samplerData.size()));
        for (std::size_t i = 0; i < loops.size(); ++i) {
            std::uint8_t* p = b.data() + 36 + 24 * i;
            StoreLE32(p, loops[i].id);
            StoreLE32(p + 8, loops[i].start);
            StoreLE32(p + 12, loops[i].end);
            StoreLE32(p + 20, loops[i].playCount);
        }
        b.insert(b.end(), samplerData.begin(), samplerData.end());
        return Chunk("smpl", b);
    }

    // In file order: unity note, fine tune, gain, low note, high note, low and high velocity.
    WavBuilder& Inst(std::vector<std::uint8_t> body) { return Chunk("inst", body); }

    // The RIFF size is the file's length − 8 unless given.
    std::vector<std::uint8_t> Build(std::optional<std::uint32_t> riffSize = std::nullopt) const {
        std::vector<std::uint8_t> out = bytes_;
        StoreLE32(out.data() + 4, riffSize.value_or(static_cast<std::uint32_t>(out.size() - 8)));
        return out;
    }

    static std::vector<std::uint8_t> Pattern(std::size_t n) {
        std::vector<std::uint8_t> b(n);
        for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 7 + 1);
        return b;
    }

private:
    std::vector<std::uint8_t> bytes_;
};

// The id of the message a call raises; FileNotFound stands for "no error".
template <typename F>
StringId ErrorOf(F&& call) {
    try {
        call();
    } catch (const Error& e) {
        return e.Id();
    }
    return StringId::FileNotFound;
}

// Offsets of the top-level chunks in the bytes of a WAV file, by walking the standard layout.
struct ChunkAt {
    std::string id;
    std::uint32_t size = 0;
    std::size_t offset = 0;  // of the header
};
inline std::vector<ChunkAt> TopChunks(const std::vector<std::uint8_t>& bytes) {
    std::vector<ChunkAt> out;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        ChunkAt c{std::string(reinterpret_cast<const char*>(bytes.data() + at), 4),
                  LoadLE32(bytes.data() + at + 4), at};
        out.push_back(c);
        at += 8 + c.size + (c.size & 1u);
    }
    return out;
}

}  // namespace pelmora::test
