#pragma once
// Fuzz inputs become files, since the readers work on open files as the program does.

#include <cstddef>
#include <cstdint>
#include <string>

namespace pelmora::fuzz {

// Writes the input to a per-process scratch file and returns its path.
std::string InputAsFile(const std::uint8_t* data, std::size_t size);

}  // namespace pelmora::fuzz
