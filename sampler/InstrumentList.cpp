#include "sampler/InstrumentList.h"

#include <string_view>

#include "platform/Ticks.h"

namespace pelmora {

namespace {

constexpr std::string_view kVendor = "ORBECK  ";
constexpr int kRetryAttempts = 10;
constexpr int kErrorAttempts = 5;
constexpr std::uint32_t kRetryPauseMs = 100;

struct KnownProduct {
    std::string_view product;
    DeviceFamily family;
};

constexpr KnownProduct kProducts[] = {
    {"Sampler K3100   ", DeviceFamily::Sampler},     {"Sampler K5100   ", DeviceFamily::Sampler},
    {"Sampler K4100   ", DeviceFamily::Sampler},     {"TQ9000          ", DeviceFamily::Sampler},
    {"LORIC6          ", DeviceFamily::Sampler},     {"LORIC7          ", DeviceFamily::Sampler},
    {"LORIC8          ", DeviceFamily::Sampler},     {"Synthesizer VZ5 ", DeviceFamily::Synthesizer},
    {"Synthesizer VZ7 ", DeviceFamily::Synthesizer}, {"Synthesizer VZ5R", DeviceFamily::Synthesizer},
};

}  // namespace

const char* FamilyName(DeviceFamily family) {
    return family == DeviceFamily::Sampler ? "Sampler" : "Synthesizer";
}

std::optional<DeviceFamily> FamilyOf(const std::string& vendor, const std::string& product) {
    if (vendor != kVendor) return std::nullopt;
    for (const KnownProduct& known : kProducts)
        if (product == known.product) return known.family;
    return std::nullopt;
}

std::optional<DeviceFamily> IdentifyInstrument(CAspiDevice& device, CAspiInq& inquiry) {
    if (!inquiry.buffer.Allocate(kInquiryLength, device.BufferAlignment())) return std::nullopt;
    CAspiCommand command(device.Entry());
    int retries = 0;
    int errors = 0;
    for (;;) {
        inquiry.status = device.Inquiry(kInquiryLength, inquiry.buffer, &command);
        const StatusClass kind = inquiry.status.Class();
        if (kind == StatusClass::Retry) {
            if (++retries >= kRetryAttempts) {
                inquiry.buffer.Release();
                return std::nullopt;
            }
        } else if (kind == StatusClass::Error) {
            if (++errors >= kErrorAttempts) break;
        } else {
            break;
        }
        platform::BusyWait(kRetryPauseMs);
        command.ResetForRetry();
    }
    if (!inquiry.status.IsSuccess() || inquiry.status.Class() != StatusClass::Ok) return std::nullopt;
    inquiry.Fill(inquiry.buffer.Data(), inquiry.buffer.Size());
    return FamilyOf(inquiry.vendor, inquiry.product);
}

void InstrumentList::Scan(const AspiEntryPoints& entry) {
    const CAspi manager(entry);
    const std::uint8_t adapters = manager.HostAdapterCount();
    for (std::uint8_t adapter = 0; adapter < adapters; ++adapter) {
        const CAspiBus bus(entry, adapter);
        if (!bus.Usable()) continue;
        for (std::uint32_t target = 0; target < bus.MaxTargets(); ++target) {
            if (target == bus.ScsiId()) continue;
            auto device = std::make_unique<CAspiDevice>(bus, static_cast<std::uint8_t>(target));
            CAspiInq inquiry;
            if (const auto family = IdentifyInstrument(*device, inquiry))
                entries_.push_back({*family, std::move(device), inquiry.product});
        }
    }
}

std::string DescribeInstrument(const ScsiDeviceEntry& entry) {
    std::string product = entry.product;
    product.erase(product.find_last_not_of(' ') + 1);
    return std::to_string(entry.device->Adapter()) + ":" + std::to_string(entry.device->Target()) + " " +
           FamilyName(entry.family) + " " + product;
}

}  // namespace pelmora
