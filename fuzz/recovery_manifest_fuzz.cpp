// A crash-recovery manifest as another process (or a damaged disk) may have left it: the reader
// never crashes or reads past the text, and what it accepts is written back and read again
// unchanged.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "document/Recovery.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelmora;
    const std::optional<Manifest> manifest =
        ParseManifest(std::string_view(reinterpret_cast<const char*>(data), size));
    if (manifest && ParseManifest(FormatManifest(*manifest)) != manifest) __builtin_trap();
    return 0;
}
