#pragma once
// Fixed-width fields of file headers, by byte order. No alignment is assumed.

#include <cstdint>

namespace pelmora {

inline std::uint16_t LoadLE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t LoadLE32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint16_t LoadBE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
inline std::uint32_t LoadBE32(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}
inline void StoreLE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void StoreLE32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void StoreBE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}
inline void StoreBE32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

// A four-character chunk id as it appears in the file ("RIFF", "fmt ", "SSND").
struct FourCC {
    char c[4];
    constexpr bool operator==(const FourCC&) const = default;
};
inline constexpr FourCC MakeFourCC(const char (&s)[5]) { return FourCC{{s[0], s[1], s[2], s[3]}}; }
inline FourCC LoadFourCC(const std::uint8_t* p) {
    return FourCC{{static_cast<char>(p[0]), static_cast<char>(p[1]), static_cast<char>(p[2]),
                   static_cast<char>(p[3])}};
}
inline void StoreFourCC(std::uint8_t* p, FourCC id) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(id.c[i]);
}

}  // namespace pelmora
