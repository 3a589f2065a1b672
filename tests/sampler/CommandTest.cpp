// Commands as the manager receives them: the request block a command builds, how its status is
// waited for, and the buffers its data goes through.

#include <gtest/gtest.h>

#include "platform/Ticks.h"
#include "sampler/AlignedBuffer.h"
#include "sampler/CAspiCommand.h"
#include "sampler/CAspiDevice.h"

using namespace pelmora;

namespace {

aspi::SRB_ExecSCSICmd gSeen;
bool gComplete = true;
int gPosted = 0;

std::uint32_t NoSupport() { return 0; }
// A manager that completes with a busy target, or leaves the request pending.
std::uint32_t Send(void* srb) {
    auto& request = *static_cast<aspi::SRB_ExecSCSICmd*>(srb);
    gSeen = request;
    if (gComplete) {
        request.SRB_HaStat = 0;
        request.SRB_TargStat = aspi::STATUS_BUSY;
        request.SRB_Status = aspi::SS_COMP;
        if ((request.SRB_Flags & aspi::SRB_POSTING) && request.SRB_PostProc) request.SRB_PostProc(srb);
    }
    return request.SRB_Status;
}

}  // namespace

TEST(CAspiCommand, BuildsTheRequestAndWaitsForIt) {
    const AspiEntryPoints entry{NoSupport, Send};
    CAspiCommand command(entry);
    EXPECT_EQ(command.Request().SRB_Cmd, aspi::SC_EXEC_SCSI_CMD);
    EXPECT_EQ(command.Request().SRB_SenseLen, 14);
    for (std::uint8_t b : command.Request().SenseArea) EXPECT_EQ(b, 0xFF);

    // The unit goes into bits 7..5 of CDB byte 1, keeping bits 4..0.
    const std::uint8_t cdb[6] = {0x08, 0xFF, 0, 0, 16, 0};
    command.SetCdb(6, cdb);
    std::uint8_t data[16];
    command.SetDataOut(16, data);
    command.SetDataIn(16, data);
    gComplete = true;
    const ScsiStatus status = command.Execute();
    EXPECT_EQ(status.value, 0x81010008u);
    EXPECT_FALSE(status.IsSuccess());
    EXPECT_EQ(status.Class(), StatusClass::Retry);
    EXPECT_EQ(gSeen.CDBByte[1], 0x1F);
    EXPECT_EQ(gSeen.SRB_Flags, aspi::SRB_DIR_IN);
    EXPECT_EQ(gSeen.SRB_BufPointer, data);

    // A retry starts from a new block but keeps the address and the command bytes.
    command.ResetForRetry();
    EXPECT_EQ(command.Request().SRB_CDBLen, 6);
    EXPECT_EQ(command.Request().CDBByte[0], 0x08);
    EXPECT_EQ(command.Request().SRB_BufLen, 0u);
    EXPECT_EQ(command.Request().SRB_Flags, 0);

    // With a completion routine the command returns at once and the routine gets the command.
    command.SetCompletion([](CAspiCommand&) { ++gPosted; });
    EXPECT_EQ(command.Execute().value, ScsiStatus::kPosted);
    EXPECT_EQ(gPosted, 1);
    command.SetCompletion(nullptr);
    EXPECT_EQ(command.Request().SRB_Flags & aspi::SRB_POSTING, 0);

    // A request the manager never completes: the timeout, measured on the tick count.
    platform::UseSteppingClock(10);
    gComplete = false;
    command.ResetForRetry();
    EXPECT_EQ(command.Execute().value, ScsiStatus::kTimeout);
    platform::UseSteppingClock(0);
    gComplete = true;

    // Without a manager no command can run.
    const AspiEntryPoints none;
    CAspiCommand orphan(none);
    EXPECT_EQ(orphan.Execute().value, ScsiStatus::kNoCommandObject);
}

TEST(ScsiStatus, SuccessAndClasses) {
    struct Case {
        std::uint32_t value;
        bool success;
        StatusClass kind;
    };
    const Case cases[] = {
        {0x81010000, true, StatusClass::Ok},
        {0x81040002, false, StatusClass::Error},    // SS_ERR with check condition
        {0x81011100, false, StatusClass::Retry},    // selection timeout
        {0x81010900, false, StatusClass::Retry},    // command timeout
        {0x81011200, false, StatusClass::Error},    // data over/underrun
        {0x81010008, false, StatusClass::Retry},    // busy target
        {0x81010002, false, StatusClass::Error},    // check condition with SS_COMP
        {0x81E50000, false, StatusClass::Retry},    // ASPI busy
        {0x81820000, false, StatusClass::Fatal},    // no device
        {0x84010000, false, StatusClass::Fatal},    // timed out
        {0x80010000, false, StatusClass::Fatal},    // never run
        {0x81010004, true, StatusClass::Ok},        // condition met
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(ScsiStatus{c.value}.IsSuccess(), c.success);
        EXPECT_EQ(ScsiStatus{c.value}.Class(), c.kind);
    }
}

TEST(AlignedBuffer, StartsOnTheAlignmentAndReleasesEverything) {
    for (std::uint32_t alignment : {1u, 2u, 4u, 16u, 512u, 4096u}) {
        SCOPED_TRACE(alignment);
        const std::uint8_t initial[5] = {1, 2, 3, 4, 5};
        AlignedBuffer buffer(5, alignment, initial);
        ASSERT_NE(buffer.Data(), nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(buffer.Data()) % alignment, 0u);
        EXPECT_EQ(std::vector<std::uint8_t>(buffer.Data(), buffer.Data() + 5), std::vector<std::uint8_t>(initial, initial + 5));
        buffer.Release();
        EXPECT_EQ(buffer.Data(), nullptr);
        EXPECT_EQ(buffer.Size(), 0u);
        EXPECT_EQ(buffer.Alignment(), 0u);
    }
}
