#pragma once
// Reads of a sound file's structure. A file that ends early answers false, which readers take as
// a chunk cut short or missing; an I/O error raises "File read error" instead, so that a chunk
// that could not be read is never taken for one that is not there.

#include <cstddef>
#include <cstdint>

#include "base/Error.h"
#include "platform/File.h"

namespace pelmora {

inline bool ReadHeld(const platform::File& file, std::uint64_t offset, void* buffer, std::size_t count) {
    const std::int64_t got = file.ReadSome(offset, buffer, count);
    if (got < 0) throw Error(StringId::FileReadError);
    return static_cast<std::size_t>(got) == count;
}

// As File::ReadSome, raising on an I/O error: the bytes read, fewer only at the end.
inline std::int64_t ReadUpTo(const platform::File& file, std::uint64_t offset, void* buffer, std::size_t count) {
    const std::int64_t got = file.ReadSome(offset, buffer, count);
    if (got < 0) throw Error(StringId::FileReadError);
    return got;
}

}  // namespace pelmora
