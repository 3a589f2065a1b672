// The editor's command-line parser on arbitrary text: it never crashes or reads past the line,
// and what it takes for the file is never longer than the line.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    const pelmora::CommandLine parsed = pelmora::ParseCommandLine(line);
    if (parsed.file.size() > line.size()) __builtin_trap();
    if (parsed.devices && parsed.devices->input.size() + parsed.devices->output.size() > line.size()) __builtin_trap();
    return 0;
}
