#include "sampler/CAspiDevice.h"

#include <algorithm>
#include <optional>

namespace pelmora {

namespace {

// The caller's command, or one of our own for this operation only.
class CommandFor {
public:
    CommandFor(CAspiCommand* given, const CAspiDevice& device) {
        if (given) {
            command_ = given;
        } else {
            own_.emplace(device.Entry());
            command_ = &*own_;
        }
        command_->SetAddress(device);
    }
    CAspiCommand& operator*() { return *command_; }
    CAspiCommand* operator->() { return command_; }

private:
    std::optional<CAspiCommand> own_;
    CAspiCommand* command_ = nullptr;
};

}  // namespace

CAspiDevice::CAspiDevice(const CAspiBus& bus, std::uint8_t target)
    : entry_(&bus.Entry()),
      adapter_(bus.Adapter()),
      target_(target),
      maxTransfer_(bus.MaxTransfer()),
      alignment_(bus.BufferAlignment()) {}

ScsiStatus CAspiDevice::TestUnitReady(CAspiCommand* command) {
    CommandFor run(command, *this);
    const std::uint8_t cdb[6] = {0x00, 0, 0, 0, 0, 0};
    run->SetCdb(sizeof cdb, cdb);
    return run->Execute();
}

ScsiStatus CAspiDevice::Inquiry(std::uint8_t length, AlignedBuffer& buffer, CAspiCommand* command) {
    CommandFor run(command, *this);
    const std::uint8_t cdb[6] = {0x12, 0, 0, 0, length, 0};
    run->SetCdb(sizeof cdb, cdb);
    run->SetDataIn(std::min<std::uint32_t>(length, buffer.Size()), buffer.Data());
    return run->Execute();
}

}  // namespace pelmora
