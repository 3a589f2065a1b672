// The scan: which adapters and targets are probed, the identification table, the INQUIRY retry
// rule, and the order of the instrument list. The bus is the emulated one or a scripted one,
// reached through entry points as the loaded manager's would be.

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <set>

#include "aspi/Completion.h"
#include "aspi/EmulatedBus.h"
#include "platform/Ticks.h"
#include "sampler/InstrumentList.h"
#include "support/TempDir.h"
#include "support/EmulatorSupport.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

aspi::Backend* gBus = nullptr;
std::uint32_t BusSupportInfo() { return aspi::SupportInfo(gBus); }
std::uint32_t BusSend(void* srb) { return aspi::SendCommand(gBus, srb); }
AspiEntryPoints EntryFor(aspi::Backend& bus) {
    gBus = &bus;
    return {BusSupportInfo, BusSend};
}

// Passes commands on and notes which targets were addressed.
class Recording : public aspi::Backend {
public:
    explicit Recording(aspi::Backend& inner) : inner_(inner) {}
    void Refresh() override { inner_.Refresh(); }
    std::uint8_t AdapterCount() const override { return inner_.AdapterCount(); }
    void Inquire(aspi::SRB_HAInquiry& srb) override { inner_.Inquire(srb); }
    void Execute(aspi::SRB_ExecSCSICmd& srb) override {
        probed[srb.SRB_HaId].insert(srb.SRB_Target);
        inner_.Execute(srb);
    }
    std::map<int, std::set<int>> probed;

private:
    aspi::Backend& inner_;
};

// The busy waits between INQUIRY attempts pass at once.
class FastClock : public ::testing::Test {
protected:
    void SetUp() override { platform::UseSteppingClock(1); }
    void TearDown() override { platform::UseSteppingClock(0); }
};

std::string Instrument(const char* product, int id, const char* vendor = "ORBECK") {
    return std::string("vendor = ") + vendor + "\nproduct = " + product + "\nid = " + std::to_string(id) + "\n";
}

}  // namespace

using Scan = FastClock;

TEST_F(Scan, IdentificationTable) {
    struct Case {
        const char* vendor;
        const char* product;
        const char* expected;  // family, or nullptr when not kept
    };
    const Case cases[] = {
        {"ORBECK", "Sampler K3100", "Sampler"},      {"ORBECK", "Sampler K5100", "Sampler"},
        {"ORBECK", "Sampler K4100", "Sampler"},      {"ORBECK", "TQ9000", "Sampler"},
        {"ORBECK", "LORIC6", "Sampler"},             {"ORBECK", "LORIC7", "Sampler"},
        {"ORBECK", "LORIC8", "Sampler"},             {"ORBECK", "Synthesizer VZ5", "Synthesizer"},
        {"ORBECK", "Synthesizer VZ7", "Synthesizer"}, {"ORBECK", "Synthesizer VZ5R", "Synthesizer"},
        {"ORBECK", "Sampler K9100", nullptr},        // unknown product
        {"ORBECK", "Synthesizer VZ5\\x00", nullptr},  // a NUL where a blank belongs
        {"orbeck", "TQ9000", nullptr},               // vendor differs in case
        {"ORBECK\\x00", "TQ9000", nullptr},          // a NUL in the vendor's blanks
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.vendor) + "/" + c.product);
        TempDir dir;
        MakeInstrument(dir.Path(), "i", Instrument(c.product, 4, c.vendor));
        aspi::EmulatedBus bus(dir.Path());
        const AspiEntryPoints entry = EntryFor(bus);
        InstrumentList list;
        list.Scan(entry);
        if (!c.expected) {
            EXPECT_TRUE(list.Empty());
            continue;
        }
        ASSERT_EQ(list.Entries().size(), 1u);
        EXPECT_STREQ(FamilyName(list.CurrentInstrument()->family), c.expected);
        EXPECT_EQ(list.CurrentInstrument()->device->Target(), 4);
    }
}

TEST_F(Scan, ProbesEveryTargetButTheAdaptersOwnAndListsInOrder) {
    TempDir first, second;
    MakeInstrument(first.Path(), "late", Instrument("LORIC8", 5));
    MakeInstrument(first.Path(), "early", Instrument("Synthesizer VZ7", 2));
    MakeInstrument(first.Path(), "other", Instrument("Tape Drive", 0, "SOMEONE"));
    MakeInstrument(second.Path(), "k", Instrument("Sampler K3100", 1));
    aspi::CombinedBackend combined;
    combined.Add(std::make_unique<aspi::EmulatedBus>(first.Path()));
    combined.Add(std::make_unique<aspi::EmulatedBus>(second.Path()));
    Recording recording(combined);
    const AspiEntryPoints entry = EntryFor(recording);

    InstrumentList list;
    list.Scan(entry);
    // Own id 7 with HA_Unique[3] = 0: targets 0-6 on each adapter.
    const std::set<int> zeroToSix = {0, 1, 2, 3, 4, 5, 6};
    EXPECT_EQ(recording.probed[0], zeroToSix);
    EXPECT_EQ(recording.probed[1], zeroToSix);
    std::vector<std::string> lines;
    for (const auto& e : list.Entries()) lines.push_back(DescribeInstrument(e));
    EXPECT_EQ(lines, (std::vector<std::string>{"0:2 Synthesizer Synthesizer VZ7", "0:5 Sampler LORIC8", "1:1 Sampler Sampler K3100"}));
    EXPECT_EQ(list.CurrentInstrument()->device->Target(), 2);
    // The devices carry their adapter's alignment and transfer limit.
    EXPECT_EQ(list.CurrentInstrument()->device->BufferAlignment(), 4u);
    EXPECT_EQ(list.CurrentInstrument()->device->MaxTransfer(), aspi::kEmulatedMaxTransfer);

    // A rescan replaces the list.
    std::filesystem::remove_all(first.File("early"));
    list.Free();
    list.Scan(entry);
    EXPECT_EQ(DescribeInstrument(*list.CurrentInstrument()), "0:5 Sampler LORIC8");
}

namespace {

enum class Answer { Good, Busy, SelectionTimeout, CheckCondition, AspiBusy, HostError, NoDevice };

// One target whose INQUIRY answers follow a script (Good once the script runs out).
class ScriptedBus : public aspi::Backend {
public:
    void Refresh() override {}
    std::uint8_t AdapterCount() const override { return 1; }
    void Inquire(aspi::SRB_HAInquiry& srb) override {
        srb.HA_SCSI_ID = 7;
        std::memset(srb.HA_Unique, 0, sizeof srb.HA_Unique);
        srb.SRB_Status = aspi::SS_COMP;
    }
    void Execute(aspi::SRB_ExecSCSICmd& srb) override {
        if (srb.SRB_Target != 3) {
            aspi::CompleteHostStatus(srb, aspi::HASTAT_SEL_TO);
            return;
        }
        ++attempts;
        const Answer answer = script.empty() ? Answer::Good : script.front();
        if (!script.empty()) script.pop_front();
        switch (answer) {
        case Answer::Good: {
            std::uint8_t data[36] = {3};
            std::memcpy(data + 8, "ORBECK  TQ9000          ", 24);
            std::memcpy(srb.SRB_BufPointer, data, std::min<std::size_t>(36, srb.SRB_BufLen));
            aspi::CompleteGood(srb);
            break;
        }
        case Answer::Busy: aspi::CompleteBusy(srb); break;
        case Answer::SelectionTimeout: aspi::CompleteHostStatus(srb, aspi::HASTAT_SEL_TO); break;
        case Answer::CheckCondition: aspi::CompleteCheckCondition(srb, aspi::kInvalidField); break;
        case Answer::AspiBusy: srb.SRB_Status = aspi::SS_ASPI_IS_BUSY; break;
        case Answer::HostError: aspi::CompleteHostStatus(srb, aspi::HASTAT_PHASE_ERR); break;
        case Answer::NoDevice: srb.SRB_Status = aspi::SS_NO_DEVICE; break;
        }
    }
    std::deque<Answer> script;
    int attempts = 0;
};

std::deque<Answer> Times(Answer a, int n, std::deque<Answer> then = {}) {
    std::deque<Answer> out(static_cast<std::size_t>(n), a);
    out.insert(out.end(), then.begin(), then.end());
    return out;
}

}  // namespace

TEST_F(Scan, InquiryRetriesCountAttemptsPerClass) {
    using A = Answer;
    struct Case {
        const char* name;
        std::deque<Answer> script;
        bool found;
        int attempts;
    };
    const Case cases[] = {
        {"busy 9 times is found", Times(A::Busy, 9), true, 10},
        {"busy 10 times is not", Times(A::Busy, 10), false, 10},
        {"selection timeout 9 times is found", Times(A::SelectionTimeout, 9), true, 10},
        {"ASPI busy is retried", Times(A::AspiBusy, 3), true, 4},
        {"check condition 4 times is found", Times(A::CheckCondition, 4), true, 5},
        {"check condition 5 times is not", Times(A::CheckCondition, 5), false, 5},
        {"host error 5 times is not", Times(A::HostError, 5), false, 5},
        {"the classes count apart", Times(A::Busy, 9, Times(A::CheckCondition, 4)), true, 14},
        {"fatal stops at once", Times(A::NoDevice, 1), false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedBus bus;
        bus.script = c.script;
        const AspiEntryPoints entry = EntryFor(bus);
        InstrumentList list;
        list.Scan(entry);
        EXPECT_EQ(!list.Empty(), c.found);
        EXPECT_EQ(bus.attempts, c.attempts);
    }
}

TEST(ScanWithoutManager, FindsNothing) {
    InstrumentList list;
    list.Scan(AspiEntryPoints{});
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(list.CurrentInstrument(), nullptr);
}
