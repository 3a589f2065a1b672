#include "sampler/CAspiInq.h"

namespace pelmora {

void CAspiInq::Fill(const std::uint8_t* data, std::size_t size) {
    auto field = [&](std::size_t first, std::size_t count) {
        if (size < first + count) return std::string();
        return std::string(reinterpret_cast<const char*>(data) + first, count);
    };
    peripheral = size > 0 ? data[0] : 127;
    vendor = field(8, 8);
    product = field(16, 16);
    revision = field(32, 4);
    revisionNumber = 0;
    if (revision.size() == 4)
        for (unsigned char c : revision) revisionNumber = revisionNumber << 8 | c;
}

}  // namespace pelmora
