// The two functions the library exports; everything else in it is hidden by its version script.

#include <memory>
#include <mutex>

#include "aspi/Backend.h"

namespace {

std::recursive_mutex& Lock() {
    static std::recursive_mutex lock;
    return lock;
}

pelmora::aspi::Backend* TheBackend() {
    static const std::unique_ptr<pelmora::aspi::Backend> backend =
        pelmora::aspi::BackendFromEnvironment();
    return backend.get();
}

}  // namespace

extern "C" {

std::uint32_t GetASPI32SupportInfo() {
    const std::lock_guard<std::recursive_mutex> hold(Lock());
    return pelmora::aspi::SupportInfo(TheBackend());
}

std::uint32_t SendASPI32Command(void* srb) {
    const std::lock_guard<std::recursive_mutex> hold(Lock());
    return pelmora::aspi::SendCommand(TheBackend(), srb);
}

}  // extern "C"
