#include "aspi/EmulatedBus.h"

#include <dirent.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <sstream>

#include "aspi/Completion.h"

namespace pelmora::aspi {

namespace {

constexpr std::uint8_t kTestUnitReady = 0x00, kReceive = 0x08, kSend = 0x0A, kInquiry = 0x12;
constexpr std::uint8_t kProcessorDevice = 0x03;
constexpr std::size_t kInquiryBytes = 36;
constexpr Sense kLunNotSupported{0x05, 0x25, 0x00};

std::uint32_t Length24(const SRB_ExecSCSICmd& srb) {
    return (std::uint32_t{srb.CDBByte[2]} << 16) | (std::uint32_t{srb.CDBByte[3]} << 8) | srb.CDBByte[4];
}

bool ReadText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return true;
}

}  // namespace

EmulatedInstrument::EmulatedInstrument(const InstrumentConfig& config, const std::string& folder, Log log)
    : config_(config), faults_(config.faults), log_(std::move(log)), slave_(config_, faults_, folder) {}

void EmulatedInstrument::Execute(SRB_ExecSCSICmd& srb) {
    if (faults_.selectionTimeout != 0) {
        if (faults_.selectionTimeout > 0) --faults_.selectionTimeout;
        CompleteHostStatus(srb, HASTAT_SEL_TO);
        return;
    }
    if (faults_.busy > 0) {
        --faults_.busy;
        CompleteBusy(srb);
        return;
    }
    if (srb.SRB_Lun != 0) {
        CompleteCheckCondition(srb, kLunNotSupported);
        return;
    }
    switch (srb.CDBByte[0]) {
    case kTestUnitReady: CompleteGood(srb); return;
    case kInquiry: Inquiry(srb, srb.CDBByte[4]); return;
    case kSend: Send(srb, Length24(srb)); return;
    case kReceive: Receive(srb, Length24(srb)); return;
    default: CompleteCheckCondition(srb, kIllegalOpcode); return;
    }
}

void EmulatedInstrument::Inquiry(SRB_ExecSCSICmd& srb, std::uint32_t allocation) {
    std::uint8_t data[kInquiryBytes] = {};
    data[0] = kProcessorDevice;
    data[2] = 2;  // SCSI-2
    data[3] = 2;  // response data format
    data[4] = kInquiryBytes - 5;
    std::memcpy(data + 8, config_.vendor.data(), 8);
    std::memcpy(data + 16, config_.product.data(), 16);
    std::memcpy(data + 32, config_.revision.data(), std::min<std::size_t>(4, config_.revision.size()));
    const std::size_t n = std::min<std::size_t>({allocation, srb.SRB_BufLen, kInquiryBytes});
    if (n) std::memcpy(srb.SRB_BufPointer, data, n);
    CompleteGood(srb);
}

void EmulatedInstrument::Send(SRB_ExecSCSICmd& srb, std::uint32_t length) {
    if (!replies_.empty()) {
        // One reply at a time: the master has to read the last one first.
        log_("SEND refused: a reply waits to be read");
        CompleteCheckCondition(srb, kSequenceError);
        return;
    }
    if (length > srb.SRB_BufLen || (length > 0 && !(srb.SRB_Flags & SRB_DIR_OUT))) {
        CompleteCheckCondition(srb, kInvalidField);
        return;
    }
    log_("< " + smdi::Describe(srb.SRB_BufPointer, length));
    for (auto& reply : slave_.Handle(srb.SRB_BufPointer, length)) replies_.push_back(std::move(reply));
    CompleteGood(srb);
}

void EmulatedInstrument::Receive(SRB_ExecSCSICmd& srb, std::uint32_t allocation) {
    if (replies_.empty()) {
        log_("RECEIVE refused: no reply waits");
        CompleteCheckCondition(srb, kSequenceError);
        return;
    }
    const std::vector<std::uint8_t> reply = std::move(replies_.front());
    replies_.pop_front();
    log_("> " + smdi::Describe(reply.data(), reply.size()));
    const std::size_t n = std::min<std::size_t>({allocation, srb.SRB_BufLen, reply.size()});
    if (n) std::memcpy(srb.SRB_BufPointer, reply.data(), n);
    CompleteGood(srb);
}

EmulatedBus::EmulatedBus(std::string directory) : directory_(std::move(directory)) {
    log_.open(directory_ + "/log", std::ios::app);
}

void EmulatedBus::Write(const std::string& line) {
    if (log_) log_ << line << std::endl;
}

void EmulatedBus::Refresh() {
    std::vector<std::string> folders;
    if (DIR* dir = opendir(directory_.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != ".." && platform::FileExists(directory_ + "/" + name + "/instrument.txt"))
                folders.push_back(name);
        }
        closedir(dir);
    }
    std::sort(folders.begin(), folders.end());
    std::map<std::string, Loaded> kept;
    std::set<int> ids;
    for (const std::string& folder : folders) {
        const std::string path = directory_ + "/" + folder;
        std::string text;
        if (!ReadText(path + "/instrument.txt", text)) continue;
        auto old = instruments_.find(folder);
        if (old != instruments_.end() && old->second.description == text) {
            // Unchanged: keeps its state (a transfer, a waiting reply, faults already shown).
            ids.insert(old->second.instrument->Id());
            kept[folder] = std::move(old->second);
            continue;
        }
        std::string problem;
        const auto config = ParseInstrumentConfig(text, problem);
        if (!config) {
            Write(folder + ": " + problem);
            continue;
        }
        if (!ids.insert(config->id).second) {
            Write(folder + ": id " + std::to_string(config->id) + " is taken");
            continue;
        }
        const int id = config->id;
        kept[folder] = {text, std::make_unique<EmulatedInstrument>(
                                  *config, path, [this, id](const std::string& line) {
                                      Write(std::to_string(id) + " " + line);
                                  })};
    }
    instruments_ = std::move(kept);
}

void EmulatedBus::Inquire(SRB_HAInquiry& srb) {
    srb.HA_SCSI_ID = kEmulatedAdapterId;
    FillField(srb.HA_ManagerId, sizeof srb.HA_ManagerId, "Pelmora ASPI");
    FillField(srb.HA_Identifier, sizeof srb.HA_Identifier, "emulated");
    std::memset(srb.HA_Unique, 0, sizeof srb.HA_Unique);
    srb.HA_Unique[0] = static_cast<std::uint8_t>(kEmulatedAlignmentMask);
    srb.HA_Unique[1] = static_cast<std::uint8_t>(kEmulatedAlignmentMask >> 8);
    for (int i = 0; i < 4; ++i) srb.HA_Unique[4 + i] = static_cast<std::uint8_t>(kEmulatedMaxTransfer >> (8 * i));
    srb.SRB_Status = SS_COMP;
}

void EmulatedBus::Execute(SRB_ExecSCSICmd& srb) {
    if (srb.SRB_BufLen > kEmulatedMaxTransfer) {
        srb.SRB_Status = SS_BUFFER_TO_BIG;
        return;
    }
    if (srb.SRB_BufLen > 0 && reinterpret_cast<std::uintptr_t>(srb.SRB_BufPointer) & kEmulatedAlignmentMask) {
        srb.SRB_Status = SS_BUFFER_ALIGN;
        return;
    }
    for (auto& [folder, loaded] : instruments_) {
        if (loaded.instrument->Id() == srb.SRB_Target) {
            loaded.instrument->Execute(srb);
            return;
        }
    }
    CompleteHostStatus(srb, HASTAT_SEL_TO);
}

}  // namespace pelmora::aspi
