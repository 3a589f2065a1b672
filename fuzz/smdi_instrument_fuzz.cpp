// The emulated instrument on arbitrary traffic from a master: each input is a run of SEND and
// RECEIVE commands (a length byte pair, then that many message bytes; an odd first byte asks for a
// RECEIVE). It never crashes, never reads past a message, and never writes past a buffer. The
// program's INQUIRY reader gets the same bytes.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "aspi/EmulatedBus.h"
#include "sampler/AlignedBuffer.h"
#include "sampler/CAspiInq.h"

namespace {

std::unique_ptr<pelmora::aspi::EmulatedBus> MakeBus() {
    char pattern[] = "/tmp/pelmora-smdi-fuzz-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    const std::string folder = dir + "/vz";
    mkdir(folder.c_str(), 0700);
    std::ofstream(folder + "/instrument.txt") << "vendor = ORBECK\nproduct = Synthesizer VZ5\nid = 1\nslots = 4\npacket = 64\n";
    // A tiny 16-bit mono WAV in slot 0 with 8 frames.
    const unsigned char wav[] = {'R', 'I', 'F', 'F', 52, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,
                                 1, 0, 1, 0, 0x44, 0xAC, 0, 0, 0x88, 0x58, 1, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a',
                                 16, 0, 0, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0};
    std::ofstream(folder + "/slot-0.wav", std::ios::binary).write(reinterpret_cast<const char*>(wav), sizeof wav);
    auto bus = std::make_unique<pelmora::aspi::EmulatedBus>(dir);
    bus->Refresh();
    return bus;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelmora;
    static const std::unique_ptr<aspi::EmulatedBus> bus = MakeBus();
    CAspiInq inquiry;
    inquiry.Fill(data, size);

    std::size_t at = 0;
    while (at + 2 <= size) {
        const bool receive = data[at] & 1;
        const std::size_t length = std::min<std::size_t>((std::size_t{data[at]} << 8 | data[at + 1]) >> 1, size - at - 2);
        at += 2;
        AlignedBuffer buffer(static_cast<std::uint32_t>(std::max<std::size_t>(length, 1)), 4,
                             receive || length == 0 ? nullptr : data + at);
        aspi::SRB_ExecSCSICmd srb{};
        srb.SRB_Cmd = aspi::SC_EXEC_SCSI_CMD;
        srb.SRB_Target = 1;
        srb.SRB_CDBLen = 6;
        srb.SRB_SenseLen = aspi::SENSE_LEN;
        srb.CDBByte[0] = receive ? 0x08 : 0x0A;
        srb.CDBByte[3] = static_cast<std::uint8_t>(length >> 8);
        srb.CDBByte[4] = static_cast<std::uint8_t>(length);
        srb.SRB_BufLen = static_cast<std::uint32_t>(length);
        srb.SRB_BufPointer = length ? buffer.Data() : nullptr;
        srb.SRB_Flags = receive ? aspi::SRB_DIR_IN : aspi::SRB_DIR_OUT;
        aspi::SendCommand(bus.get(), &srb);
        if (!receive) at += length;
    }
    return 0;
}
