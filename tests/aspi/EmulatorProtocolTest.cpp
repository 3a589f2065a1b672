// The emulated instrument against a scripted master: every SMDI message of a listing, an import
// and an export, compared with a model of what the instrument holds.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "support/EmulatorSupport.h"
#include "aspi/EmulatedBus.h"
#include "support/ExternalReaders.h"
#include "support/TempDir.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

constexpr std::uint32_t kSlaveIdentify = 0x00010001, kReject = 0x00020000, kAck = 0x01000000,
                        kWait = 0x01020000, kSendNext = 0x01030000, kEnd = 0x01040000, kAbort = 0x01050000,
                        kData = 0x01100000, kHeader = 0x01210000, kBeginAck = 0x01220001;

Bytes HeaderRequest(std::uint32_t slot) { return Smdi(0x0120, 0, Be(slot, 3)); }
Bytes Begin(std::uint32_t slot, std::uint32_t length) { return Smdi(0x0122, 0, Be(slot, 3) + Be(length, 3)); }
Bytes SendNext(std::uint32_t packet) { return Smdi(0x0103, 0, Be(packet, 3)); }
Bytes DataPacket(std::uint32_t packet, const Bytes& data) { return Smdi(0x0110, 0, Be(packet, 3) + data); }
std::uint32_t RejectOf(const Bytes& reply) { return IdOf(reply) == kReject ? BeAt(reply, 11, 4) : 0xFFFFFFFF; }

// What the instrument holds of a sound, as SMDI words: big-endian, 16 bits unless an 8-bit
// sound goes to a synthesizer; wider samples keep their upper 16 bits, 8-bit ones are × 256.
Bytes ModelWords(const SlotSound& sound, bool synthesizer) {
    Bytes out;
    for (std::int32_t v : sound.samples) {
        if (sound.bits == 8 && synthesizer) {
            out.push_back(static_cast<std::uint8_t>(v));
            continue;
        }
        const std::int32_t word = sound.bits == 8 ? v * 256 : v >> (sound.bits - 16);
        out = out + Be(static_cast<std::uint32_t>(word) & 0xFFFF, 2);
    }
    return out;
}

class Emulator : public ::testing::Test {
protected:
    void SetUp() override {
        MakeInstrument(dir.Path(), "vz", "vendor = ORBECK\nproduct = Synthesizer VZ5\nid = 2\nslots = 8\npacket = 1000\n");
        bus = std::make_unique<aspi::EmulatedBus>(dir.Path());
        bus->Refresh();
    }
    std::string Slot(const std::string& name) const { return dir.File("vz/" + name); }
    Master VZ() { return Master(*bus, 0, 2); }
    std::string Log() const {
        std::ifstream in(dir.File("log"));
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Reads the whole sample of a slot with Send Next Packet until End of Procedure.
    Bytes Import(Master& master, std::uint32_t slot, std::uint32_t requested, std::uint32_t& accepted) {
        const Bytes ack = master.Exchange(Begin(slot, requested));
        EXPECT_EQ(IdOf(ack), kBeginAck);
        accepted = BeAt(ack, 14, 3);
        Bytes words;
        for (std::uint32_t p = 0;; ++p) {
            const Bytes reply = master.Exchange(SendNext(p));
            if (IdOf(reply) == kEnd) break;
            if (IdOf(reply) != kData) {
                ADD_FAILURE() << "packet " << p << ": message " << std::hex << IdOf(reply);
                break;
            }
            EXPECT_EQ(BeAt(reply, 11, 3), p);
            EXPECT_LE(reply.size() - 14, accepted);
            words.insert(words.end(), reply.begin() + 14, reply.end());
        }
        return words;
    }

    TempDir dir;
    std::unique_ptr<aspi::EmulatedBus> bus;
};

}  // namespace

TEST_F(Emulator, IdentifyAndSampleHeaders) {
    SlotSound stereo;
    stereo.channels = 2;
    stereo.samples = NoiseSamples(2 * 300, 16, 1);
    stereo.loop = true;
    stereo.loopStart = 10;
    stereo.loopEnd = 200;
    stereo.unityNote = 48;
    WriteSlot(Slot("slot-0.wav"), stereo);
    std::ofstream(Slot("slot-0.name")) << "Strings Long\n";
    SlotSound byte;
    byte.aiff = true;
    byte.bits = 8;
    byte.rate = 48000;
    byte.samples = NoiseSamples(50, 8, 2);
    WriteSlot(Slot("slot-3.aif"), byte);

    Master master = VZ();
    EXPECT_EQ(IdOf(master.Exchange(Smdi(0x0001, 0))), kSlaveIdentify);

    const Bytes h = master.Exchange(HeaderRequest(0));
    ASSERT_EQ(IdOf(h), kHeader);
    EXPECT_EQ(BeAt(h, 11, 3), 0u);         // sample number
    EXPECT_EQ(h[14], 16);                   // bits per word
    EXPECT_EQ(h[15], 2);                    // channels
    EXPECT_EQ(BeAt(h, 16, 3), 22675u);      // period in ns for 44100 Hz
    EXPECT_EQ(BeAt(h, 19, 4), 300u);        // length in words (frames)
    EXPECT_EQ(BeAt(h, 23, 4), 10u);         // loop start
    EXPECT_EQ(BeAt(h, 27, 4), 199u);        // loop end: the last looped frame
    EXPECT_EQ(h[31], 0);                    // loop on
    EXPECT_EQ(BeAt(h, 32, 2), 48u);         // pitch
    EXPECT_EQ(h[36], 12);
    EXPECT_EQ(std::string(h.begin() + 37, h.end()), "Strings Long");
    EXPECT_EQ(BeAt(h, 8, 3), 26u + 12u);

    const Bytes b = master.Exchange(HeaderRequest(3));
    ASSERT_EQ(IdOf(b), kHeader);
    EXPECT_EQ(b[14], 8);                    // an 8-bit sound travels as bytes to a synthesizer
    EXPECT_EQ(BeAt(b, 16, 3), 20833u);
    EXPECT_EQ(b[31], 127);                  // no loop
    EXPECT_EQ(std::string(b.begin() + 37, b.end()), "slot-3");  // no .name: the file's name

    EXPECT_EQ(RejectOf(master.Exchange(HeaderRequest(1))), 0x00200002u);  // no sample
    EXPECT_EQ(RejectOf(master.Exchange(HeaderRequest(8))), 0x00200000u);  // out of range
    EXPECT_EQ(RejectOf(master.Exchange(Smdi(0x0999, 0))), 0x00020000u);   // not supported
    EXPECT_EQ(RejectOf(master.Exchange(SendNext(0))), 0x00020002u);       // no transfer running
    EXPECT_EQ(IdOf(master.Exchange(Smdi(0x0105, 0))), kAck);             // abort, acknowledged

    const std::string log = Log();
    EXPECT_NE(log.find("2 < Master Identify"), std::string::npos) << log;
    EXPECT_NE(log.find("2 > Slave Identify"), std::string::npos) << log;
    EXPECT_NE(log.find("2 > Message Reject 0020/0002"), std::string::npos) << log;
}

TEST_F(Emulator, ImportGivesTheSlotsWordsInWholeFramePackets) {
    struct Case {
        const char* name;
        SlotSound sound;
        std::uint32_t requested;
        std::uint32_t accepted;  // the instrument's own limit is 1000 bytes
    };
    auto sound = [](bool aiff, int channels, int bits, std::size_t frames) {
        SlotSound s;
        s.aiff = aiff;
        s.channels = channels;
        s.bits = bits;
        s.samples = NoiseSamples(frames * static_cast<std::size_t>(channels), bits, static_cast<unsigned>(bits + channels));
        return s;
    };
    const Case cases[] = {
        {"stereo 16-bit WAV, asked 32782", sound(false, 2, 16, 1234), 32782, 1000},
        {"mono 24-bit WAV keeps upper 16 bits", sound(false, 1, 24, 777), 500, 500},
        {"stereo 32-bit AIFF", sound(true, 2, 32, 300), 602, 600},  // whole frames of 4 bytes
        // (an even length: libsndfile counts the pad byte of odd 8-bit AIFF data as a frame)
        {"mono 8-bit AIFF as bytes", sound(true, 1, 8, 2000), 33, 33},
        {"stereo 8-bit WAV as bytes", sound(false, 2, 8, 501), 999, 998},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(Slot("slot-5.wav"));
        std::filesystem::remove(Slot("slot-5.aif"));
        WriteSlot(Slot(c.sound.aiff ? "slot-5.aif" : "slot-5.wav"), c.sound);
        Master master = VZ();
        ASSERT_EQ(IdOf(master.Exchange(HeaderRequest(5))), kHeader);
        std::uint32_t accepted = 0;
        const Bytes words = Import(master, 5, c.requested, accepted);
        EXPECT_EQ(accepted, c.accepted);
        const Bytes model = ModelWords(c.sound, true);
        ASSERT_EQ(words.size(), model.size());
        const auto differ = std::mismatch(words.begin(), words.end(), model.begin());
        EXPECT_TRUE(differ.first == words.end()) << "first difference at byte " << (differ.first - words.begin());
    }
}

TEST_F(Emulator, ExportStoresTheSampleAndItComesBackTheSame) {
    const std::vector<std::int32_t> samples = NoiseSamples(2 * 1500, 16, 7);
    Bytes words;
    for (std::int32_t v : samples) words = words + Be(static_cast<std::uint32_t>(v) & 0xFFFF, 2);
    const std::string name = "Piano C3";
    // Slot 6, 16 bits, stereo, 48000 Hz, 1500 frames, loop 100..1199 on, pitch 50.
    const Bytes header = Smdi(0x0121, 0, Be(6, 3) + Be(16, 1) + Be(2, 1) + Be(20833, 3) + Be(1500, 4) + Be(100, 4) +
                                             Be(1199, 4) + Be(0, 1) + Be(50, 2) + Be(0, 2) +
                                             Be(static_cast<std::uint32_t>(name.size()), 1) + Bytes(name.begin(), name.end()));
    Master master = VZ();
    const Bytes accepted = master.Exchange(header);
    ASSERT_EQ(IdOf(accepted), kBeginAck);
    EXPECT_EQ(BeAt(accepted, 11, 3), 6u);
    const std::uint32_t packet = BeAt(accepted, 14, 3);
    EXPECT_EQ(packet, 1000u);
    Bytes reply = master.Exchange(Begin(6, packet));
    ASSERT_EQ(IdOf(reply), kSendNext);
    EXPECT_EQ(BeAt(reply, 11, 3), 0u);
    // A packet of the wrong number is refused and changes nothing.
    EXPECT_EQ(RejectOf(master.Exchange(DataPacket(1, Bytes(4, 0)))), 0x00110000u);
    for (std::uint32_t offset = 0, p = 0; offset < words.size(); offset += packet, ++p) {
        const Bytes part(words.begin() + offset, words.begin() + std::min<std::size_t>(words.size(), offset + packet));
        reply = master.Exchange(DataPacket(p, part));
        if (offset + packet < words.size()) {
            ASSERT_EQ(IdOf(reply), kSendNext);
            EXPECT_EQ(BeAt(reply, 11, 3), p + 1);
        }
    }
    EXPECT_EQ(IdOf(reply), kEnd);

    // Stored as an AIFF that libsndfile reads as we sent it, with the loop and the note.
    const std::string stored = Slot("slot-6.aif");
    const auto view = ReadWithSndfile(stored);
    ASSERT_TRUE(view.has_value());
    EXPECT_EQ(view->rate, 48000);
    EXPECT_EQ(view->channels, 2);
    EXPECT_EQ(view->frames, 1500);
    const auto read = SndfileSamples(stored);
    ASSERT_EQ(read.size(), samples.size());
    for (std::size_t i = 0; i < read.size(); ++i) ASSERT_EQ(read[i] >> 16, samples[i]) << i;

    // And the instrument gives the same header and words back.
    const Bytes h = master.Exchange(HeaderRequest(6));
    ASSERT_EQ(IdOf(h), kHeader);
    EXPECT_EQ(BeAt(h, 16, 3), 20833u);
    EXPECT_EQ(BeAt(h, 23, 4), 100u);
    EXPECT_EQ(BeAt(h, 27, 4), 1199u);
    EXPECT_EQ(h[31], 0);
    EXPECT_EQ(BeAt(h, 32, 2), 50u);
    EXPECT_EQ(std::string(h.begin() + 37, h.end()), name);
    std::uint32_t back = 0;
    EXPECT_EQ(Import(master, 6, 4000, back), words);
}

TEST_F(Emulator, OneReplyWaitsAtATime) {
    Master master = VZ();
    Bytes reply;
    // RECEIVE with nothing to read: check condition with sense.
    Outcome o = master.Receive(16, reply);
    EXPECT_EQ(o.status, aspi::SS_ERR);
    EXPECT_EQ(o.target, aspi::STATUS_CHKCOND);
    EXPECT_TRUE(master.Send(Smdi(0x0001, 0)).Good());
    // A second SEND while the identify answer waits.
    o = master.Send(Smdi(0x0001, 0));
    EXPECT_EQ(o.status, aspi::SS_ERR);
    EXPECT_EQ(o.target, aspi::STATUS_CHKCOND);
    EXPECT_TRUE(master.Receive(16, reply).Good());
    EXPECT_EQ(IdOf(reply), kSlaveIdentify);
    EXPECT_FALSE(master.Receive(16, reply).Good());
}

TEST_F(Emulator, ScsiCommandsAroundTheMessages) {
    Master master = VZ();
    Bytes data;
    ASSERT_TRUE(master.Command({0x12, 0, 0, 0, 36, 0}, 36, data).Good());
    EXPECT_EQ(data[0], 3);  // processor
    EXPECT_EQ(std::string(data.begin() + 8, data.begin() + 16), "ORBECK  ");
    EXPECT_EQ(std::string(data.begin() + 16, data.begin() + 32), "Synthesizer VZ5 ");
    Bytes none;
    EXPECT_TRUE(master.Command({0, 0, 0, 0, 0, 0}, 0, none).Good());
    // No instrument at id 4: a selection timeout.
    Master absent(*bus, 0, 4);
    const Outcome o = absent.Command({0, 0, 0, 0, 0, 0}, 0, none);
    EXPECT_EQ(o.status, aspi::SS_COMP);
    EXPECT_EQ(o.host, aspi::HASTAT_SEL_TO);
    // An unknown command is refused with a check condition, and a buffer off the adapter's
    // alignment is refused by the adapter.
    EXPECT_EQ(master.Command({0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8, data).target, aspi::STATUS_CHKCOND);
    aspi::SRB_ExecSCSICmd srb{};
    alignas(8) std::uint8_t buffer[40];
    srb.SRB_Cmd = aspi::SC_EXEC_SCSI_CMD;
    srb.SRB_Target = 2;
    srb.SRB_CDBLen = 6;
    srb.CDBByte[0] = 0x12;
    srb.CDBByte[4] = 36;
    srb.SRB_BufLen = 36;
    srb.SRB_BufPointer = buffer + 1;
    srb.SRB_Flags = aspi::SRB_DIR_IN;
    EXPECT_EQ(aspi::SendCommand(bus.get(), &srb), aspi::SS_BUFFER_ALIGN);
}
