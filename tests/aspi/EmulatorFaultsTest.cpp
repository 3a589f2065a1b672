// Each fault an emulated instrument can be told to show, once, against a scripted master.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "support/EmulatorSupport.h"
#include "aspi/EmulatedBus.h"
#include "support/ExternalReaders.h"
#include "support/TempDir.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

constexpr std::uint32_t kSlaveIdentify = 0x00010001, kReject = 0x00020000, kWait = 0x01020000,
                        kSendNext = 0x01030000, kEnd = 0x01040000, kAbort = 0x01050000, kData = 0x01100000,
                        kHeader = 0x01210000, kBeginAck = 0x01220001;

Bytes HeaderRequest(std::uint32_t slot) { return Smdi(0x0120, 0, Be(slot, 3)); }
Bytes Begin(std::uint32_t slot, std::uint32_t length) { return Smdi(0x0122, 0, Be(slot, 3) + Be(length, 3)); }
Bytes SendNext(std::uint32_t packet) { return Smdi(0x0103, 0, Be(packet, 3)); }
Bytes DataPacket(std::uint32_t packet, const Bytes& data) { return Smdi(0x0110, 0, Be(packet, 3) + data); }
// A mono 16-bit sample of `frames` frames for slot 0, sent as a Sample Header.
Bytes OutgoingHeader(std::uint32_t frames) {
    return Smdi(0x0121, 0, Be(0, 3) + Be(16, 1) + Be(1, 1) + Be(22675, 3) + Be(frames, 4) + Be(0, 4) + Be(0, 4) +
                               Be(127, 1) + Be(60, 2) + Be(0, 2) + Be(1, 1) + Bytes{'x'});
}

struct FaultCase {
    const char* faults;
    // Plays the master's part and checks the instrument's answers.
    std::function<void(Master&, const std::string& folder)> script;
};

}  // namespace

TEST(EmulatorFaults, EachSwitchShowsOnce) {
    const FaultCase cases[] = {
        {"wait:1", [](Master& m, const std::string&) {
             EXPECT_EQ(IdOf(m.Exchange(OutgoingHeader(100))), kBeginAck);
             EXPECT_EQ(IdOf(m.Exchange(Begin(0, 200))), kWait);
             // The held-back acknowledgement follows the Wait; the next one comes at once.
             Bytes reply;
             ASSERT_TRUE(m.Receive(15, reply).Good());
             EXPECT_EQ(IdOf(reply), kSendNext);
             EXPECT_EQ(IdOf(m.Exchange(DataPacket(0, Bytes(200, 1)))), kEnd);
         }},
        {"busy:2", [](Master& m, const std::string&) {
             Bytes none;
             EXPECT_EQ(m.Command({0, 0, 0, 0, 0, 0}, 0, none).target, aspi::STATUS_BUSY);
             EXPECT_EQ(m.Command({0, 0, 0, 0, 0, 0}, 0, none).target, aspi::STATUS_BUSY);
             EXPECT_TRUE(m.Command({0, 0, 0, 0, 0, 0}, 0, none).Good());
         }},
        {"selection-timeout:1", [](Master& m, const std::string&) {
             Bytes none;
             EXPECT_EQ(m.Command({0, 0, 0, 0, 0, 0}, 0, none).host, aspi::HASTAT_SEL_TO);
             EXPECT_TRUE(m.Command({0, 0, 0, 0, 0, 0}, 0, none).Good());
         }},
        {"reject-header:5", [](Master& m, const std::string&) {
             EXPECT_EQ(BeAt(m.Exchange(OutgoingHeader(10)), 11, 4), 0x00200005u);
         }},
        {"reject-identify", [](Master& m, const std::string&) {
             EXPECT_EQ(BeAt(m.Exchange(Smdi(0x0001, 0)), 11, 4), 0x00020000u);
         }},
        {"reject-request:0x30", [](Master& m, const std::string&) {
             EXPECT_EQ(BeAt(m.Exchange(HeaderRequest(0)), 11, 4), 0x00300000u);
         }},
        {"reject-begin:2", [](Master& m, const std::string&) {
             EXPECT_EQ(BeAt(m.Exchange(Begin(0, 100)), 11, 4), 0x00220002u);
         }},
        {"abort:1", [](Master& m, const std::string&) {
             EXPECT_EQ(IdOf(m.Exchange(Begin(0, 100))), kBeginAck);
             EXPECT_EQ(IdOf(m.Exchange(SendNext(0))), kData);
             EXPECT_EQ(IdOf(m.Exchange(SendNext(1))), kAbort);
             EXPECT_EQ(IdOf(m.Exchange(SendNext(2))), kReject);  // the procedure is over
         }},
        {"eop-early:1", [](Master& m, const std::string& folder) {
             // The instrument ends the export after the first packet and keeps what came.
             EXPECT_EQ(IdOf(m.Exchange(OutgoingHeader(300))), kBeginAck);
             EXPECT_EQ(IdOf(m.Exchange(Begin(0, 200))), kSendNext);
             EXPECT_EQ(IdOf(m.Exchange(DataPacket(0, Bytes(200, 0x7F)))), kEnd);
             const auto view = ReadWithSndfile(folder + "/slot-0.aif");
             ASSERT_TRUE(view.has_value());
             EXPECT_EQ(view->frames, 100);
             EXPECT_FALSE(std::filesystem::exists(folder + "/slot-0.wav"));  // replaced
         }},
        {"zero-period", [](Master& m, const std::string&) {
             const Bytes h = m.Exchange(HeaderRequest(0));
             ASSERT_EQ(IdOf(h), kHeader);
             EXPECT_EQ(BeAt(h, 16, 3), 0u);
         }},
        {"zero-packet", [](Master& m, const std::string&) {
             EXPECT_EQ(BeAt(m.Exchange(Begin(0, 100)), 14, 3), 0u);
             EXPECT_EQ(BeAt(m.Exchange(OutgoingHeader(10)), 14, 3), 0u);
         }},
        {"long-data", [](Master& m, const std::string&) {
             EXPECT_EQ(BeAt(m.Exchange(Begin(0, 100)), 14, 3), 100u);
             const Bytes data = m.Exchange(SendNext(0));
             EXPECT_EQ(BeAt(data, 8, 3), 3u + 100u + 16u);  // longer than the 100 bytes asked
         }},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.faults);
        TempDir dir;
        MakeInstrument(dir.Path(), "k", std::string("vendor = ORBECK\nproduct = Sampler K3100\nid = 1\nfaults = ") +
                                            c.faults + "\n");
        SlotSound sound;
        sound.samples = NoiseSamples(400, 16, 3);
        WriteSlot(dir.File("k/slot-0.wav"), sound);
        aspi::EmulatedBus bus(dir.Path());
        bus.Refresh();
        Master master(bus, 0, 1);
        c.script(master, dir.File("k"));
    }
}

TEST(EmulatorFaults, SelectionTimeoutWithoutCountLastsAndUnchangedInstrumentsKeepTheirState) {
    TempDir dir;
    MakeInstrument(dir.Path(), "a", "vendor = ORBECK\nproduct = LORIC6\nid = 0\nfaults = selection-timeout\n");
    MakeInstrument(dir.Path(), "b", "vendor = ORBECK\nproduct = LORIC7\nid = 1\nfaults = busy:1\n");
    aspi::EmulatedBus bus(dir.Path());
    bus.Refresh();
    Master a(bus, 0, 0), b(bus, 0, 1);
    Bytes none;
    for (int i = 0; i < 20; ++i) EXPECT_EQ(a.Command({0, 0, 0, 0, 0, 0}, 0, none).host, aspi::HASTAT_SEL_TO);
    EXPECT_EQ(b.Command({0, 0, 0, 0, 0, 0}, 0, none).target, aspi::STATUS_BUSY);
    // A rescan reads the folder again; the busy fault it already showed stays spent.
    bus.Refresh();
    EXPECT_TRUE(b.Command({0, 0, 0, 0, 0, 0}, 0, none).Good());
    // A waiting reply survives a rescan too.
    ASSERT_TRUE(b.Send(Smdi(0x0001, 0)).Good());
    bus.Refresh();
    Bytes reply;
    ASSERT_TRUE(b.Receive(16, reply).Good());
    EXPECT_EQ(IdOf(reply), kSlaveIdentify);
}
