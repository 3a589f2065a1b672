// The built manager library, loaded as the program loads it: its two entry points over the
// emulated bus that PELMORA_SCSI names.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "support/EmulatorSupport.h"
#include "sampler/AlignedBuffer.h"
#include "sampler/AspiManager.h"
#include "support/TempDir.h"

using namespace pelmora;
using namespace pelmora::test;

TEST(AspiLibrary, AdapterInquiryAndCommandsOverTheEmulatedBus) {
    TempDir dir;
    MakeInstrument(dir.Path(), "k", "vendor = ORBECK\nproduct = Sampler K5100\nid = 2\n");
    ::setenv(aspi::kBackendVariable, ("emulated:" + dir.Path()).c_str(), 1);
    AspiManager manager;
    ASSERT_TRUE(manager.Load());
    EXPECT_NE(manager.Path().find(aspi::kLibraryFile), std::string::npos);
    const AspiEntryPoints& entry = manager.Entry();

    const std::uint32_t support = entry.getSupportInfo();
    ASSERT_EQ((support >> 8) & 0xFF, aspi::SS_COMP);
    // The emulated adapter comes after any SCSI generic hosts of this machine.
    const std::uint8_t adapter = static_cast<std::uint8_t>((support & 0xFF) - 1);
    aspi::SRB_HAInquiry inquiry{};
    inquiry.SRB_Cmd = aspi::SC_HA_INQUIRY;
    inquiry.SRB_HaId = adapter;
    ASSERT_EQ(entry.sendCommand(&inquiry), aspi::SS_COMP);
    EXPECT_EQ(inquiry.HA_Count, support & 0xFF);
    EXPECT_EQ(inquiry.HA_SCSI_ID, 7);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(inquiry.HA_ManagerId), 16), "Pelmora ASPI    ");
    EXPECT_EQ(inquiry.HA_Unique[0], 3);  // alignment mask: 4 bytes
    EXPECT_EQ(inquiry.HA_Unique[3], 0);  // 8 targets

    AlignedBuffer data(36, 4);
    aspi::SRB_ExecSCSICmd srb{};
    srb.SRB_Cmd = aspi::SC_EXEC_SCSI_CMD;
    srb.SRB_HaId = adapter;
    srb.SRB_Target = 2;
    srb.SRB_CDBLen = 6;
    srb.CDBByte[0] = 0x12;
    srb.CDBByte[4] = 36;
    srb.SRB_BufLen = 36;
    srb.SRB_BufPointer = data.Data();
    srb.SRB_Flags = aspi::SRB_DIR_IN;
    ASSERT_EQ(entry.sendCommand(&srb), aspi::SS_COMP);
    EXPECT_EQ(std::memcmp(data.Data() + 8, "ORBECK  Sampler K5100   ", 24), 0);

    // Requests the manager does not take.
    aspi::SRB_HAInquiry beyond{};
    beyond.SRB_HaId = static_cast<std::uint8_t>(adapter + 1);
    EXPECT_EQ(entry.sendCommand(&beyond), aspi::SS_INVALID_HA);
    std::uint8_t unknown[88] = {9};
    EXPECT_EQ(entry.sendCommand(unknown), aspi::SS_INVALID_CMD);
    EXPECT_EQ(entry.sendCommand(nullptr), aspi::SS_INVALID_SRB);
    srb.SRB_CDBLen = 0;
    EXPECT_EQ(entry.sendCommand(&srb), aspi::SS_INVALID_SRB);
}
