#pragma once
// The ASPI manager library, loaded at run time, and its two entry points. Without it every
// adapter count is 0 and no instrument is found.

#include <string>

#include "platform/Aspi.h"

namespace pelmora {

struct AspiEntryPoints {
    aspi::GetASPI32SupportInfoFn getSupportInfo = nullptr;
    aspi::SendASPI32CommandFn sendCommand = nullptr;
    bool Loaded() const { return getSupportInfo && sendCommand; }
};

class AspiManager {
public:
    AspiManager() = default;
    ~AspiManager();
    AspiManager(const AspiManager&) = delete;
    AspiManager& operator=(const AspiManager&) = delete;

    // Loads the library once: the file PELMORA_ASPI_LIBRARY names, else libpelmora-aspi.so next
    // to the program, in ../lib/pelmora beside it, or on the program's library path. Both entry
    // points or neither; false when it is not there.
    bool Load();
    const AspiEntryPoints& Entry() const { return entry_; }
    // The file that was loaded, empty when none.
    const std::string& Path() const { return path_; }

private:
    void* handle_ = nullptr;
    AspiEntryPoints entry_;
    std::string path_;
};

}  // namespace pelmora
