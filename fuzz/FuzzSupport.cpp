#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace pelmora::fuzz {

std::string InputAsFile(const std::uint8_t* data, std::size_t size) {
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir ? dir : "/tmp") + "/pelmora-fuzz-" + std::to_string(::getpid());
    }();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return path;
}

}  // namespace pelmora::fuzz
