// The SCSI generic backend over a fake ioctl layer: adapters from the hosts of the sg nodes,
// the SG_IO request it builds, and how the answer's statuses become ASPI statuses.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <map>

#include "aspi/SgBackend.h"

using namespace pelmora;
using namespace pelmora::aspi;

namespace {

struct FakeNode {
    int host, target, lun;
};

// The devices the kernel would list, and the answer SG_IO gives.
class FakeSg : public platform::SgSystem {
public:
    std::vector<std::string> DevicePaths() override {
        std::vector<std::string> paths;
        for (const auto& [path, node] : nodes) paths.push_back(path);
        return paths;
    }
    int Open(const std::string& path) override {
        if (!nodes.count(path)) {
            errno = ENOENT;
            return -1;
        }
        open.push_back(path);
        ++opened;
        return static_cast<int>(open.size()) - 1 + 100;
    }
    int Ioctl(int fd, unsigned long request, void* argument) override {
        const FakeNode& node = nodes.at(open.at(static_cast<std::size_t>(fd - 100)));
        if (request == SG_GET_VERSION_NUM) {
            *static_cast<int*>(argument) = 30536;
            return 0;
        }
        if (request == SG_GET_SCSI_ID) {
            auto* id = static_cast<sg_scsi_id*>(argument);
            id->host_no = node.host;
            id->scsi_id = node.target;
            id->lun = node.lun;
            id->scsi_type = 3;
            return 0;
        }
        if (request == SG_IO) {
            auto* io = static_cast<sg_io_hdr*>(argument);
            last = *io;
            lastTarget = node.target;
            lastCdb.assign(io->cmdp, io->cmdp + io->cmd_len);
            io->host_status = answer.host_status;
            io->driver_status = answer.driver_status;
            io->status = answer.status;
            io->sb_len_wr = answer.sb_len_wr;
            for (int i = 0; i < answer.sb_len_wr && i < io->mx_sb_len; ++i) io->sbp[i] = static_cast<unsigned char>(0x70 + i);
            if (failWith) {
                errno = failWith;
                return -1;
            }
            return 0;
        }
        errno = ENOTTY;
        return -1;
    }
    void Close(int) override { ++closed; }

    std::map<std::string, FakeNode> nodes;
    std::vector<std::string> open;
    int opened = 0, closed = 0;
    sg_io_hdr answer{};
    int failWith = 0;
    sg_io_hdr last{};
    int lastTarget = -1;
    std::vector<std::uint8_t> lastCdb;
};

SRB_ExecSCSICmd Request(std::uint8_t adapter, std::uint8_t target, std::uint8_t flags, std::uint8_t* buffer,
                        std::uint32_t length) {
    SRB_ExecSCSICmd srb{};
    srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
    srb.SRB_HaId = adapter;
    srb.SRB_Target = target;
    srb.SRB_Flags = flags;
    srb.SRB_BufPointer = buffer;
    srb.SRB_BufLen = length;
    srb.SRB_SenseLen = SENSE_LEN;
    srb.SRB_CDBLen = 6;
    srb.CDBByte[0] = 0x0A;
    srb.CDBByte[4] = static_cast<std::uint8_t>(length);
    return srb;
}

}  // namespace

TEST(SgBackend, AdaptersAreTheHostsNumberedDensely) {
    FakeSg sg;
    sg.nodes = {{"/dev/sg0", {5, 2, 0}}, {"/dev/sg1", {2, 0, 0}}, {"/dev/sg2", {5, 7, 0}}, {"/dev/sg3", {5, 9, 0}}};
    SgBackend backend(sg);
    EXPECT_EQ(SupportInfo(&backend), 0x0102u);  // SS_COMP, two adapters
    SRB_HAInquiry first{};
    first.SRB_HaId = 0;
    EXPECT_EQ(SendCommand(&backend, &first), SS_COMP);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(first.HA_Identifier), 16), "scsi2           ");
    EXPECT_EQ(first.HA_SCSI_ID, 7);
    EXPECT_EQ(first.HA_Unique[3], 0);  // narrow: 8 targets
    SRB_HAInquiry second{};
    second.SRB_HaId = 1;
    EXPECT_EQ(SendCommand(&backend, &second), SS_COMP);
    EXPECT_EQ(second.HA_SCSI_ID, 6);   // a device answers at 7
    EXPECT_EQ(second.HA_Unique[3], 10);  // wide: ids up to 9
    SRB_HAInquiry none{};
    none.SRB_HaId = 2;
    EXPECT_EQ(SendCommand(&backend, &none), SS_INVALID_HA);

    // Commands reach the node of that host and id; for an id without a node there is no device.
    std::uint8_t data[16] = {};
    SRB_ExecSCSICmd srb = Request(1, 9, SRB_DIR_OUT, data, sizeof data);
    EXPECT_EQ(SendCommand(&backend, &srb), SS_COMP);
    EXPECT_EQ(sg.lastTarget, 9);
    srb = Request(0, 3, SRB_DIR_OUT, data, sizeof data);
    EXPECT_EQ(SendCommand(&backend, &srb), SS_NO_DEVICE);

    // A rescan closes what the last one opened.
    sg.nodes.erase("/dev/sg3");
    EXPECT_EQ(SupportInfo(&backend), 0x0102u);
    EXPECT_EQ(sg.closed, 4);
}

TEST(SgBackend, RequestBuilding) {
    std::uint8_t buffer[64];
    std::uint8_t sense[32];
    struct Case {
        const char* name;
        std::uint8_t flags;
        std::uint32_t length;
        int direction;
        unsigned dxferLength;
    };
    const Case cases[] = {
        {"data in", SRB_DIR_IN, 36, SG_DXFER_FROM_DEV, 36},
        {"data out", SRB_DIR_OUT, 17, SG_DXFER_TO_DEV, 17},
        {"no data", SRB_DIR_IN, 0, SG_DXFER_NONE, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SRB_ExecSCSICmd srb = Request(0, 1, c.flags, buffer, c.length);
        const sg_io_hdr io = BuildSgRequest(srb, sense, sizeof sense);
        EXPECT_EQ(io.interface_id, 'S');
        EXPECT_EQ(io.dxfer_direction, c.direction);
        EXPECT_EQ(io.dxfer_len, c.dxferLength);
        EXPECT_EQ(io.dxferp, c.length ? buffer : nullptr);
        EXPECT_EQ(io.cmd_len, 6);
        EXPECT_EQ(io.cmdp, srb.CDBByte);
        EXPECT_EQ(io.sbp, sense);
        EXPECT_EQ(io.mx_sb_len, sizeof sense);
        EXPECT_EQ(io.timeout, kSgTimeoutMs);
    }
}

TEST(SgBackend, StatusMapping) {
    struct Case {
        const char* name;
        int error;  // errno of a failed ioctl, 0 when it worked
        std::uint16_t host, driver;
        std::uint8_t status;
        std::uint8_t srbStatus, haStat, targStat;
    };
    const Case cases[] = {
        {"good", 0, 0, 0, 0x00, SS_COMP, HASTAT_OK, STATUS_GOOD},
        {"selection timeout (no connect)", 0, 0x01, 0, 0, SS_COMP, HASTAT_SEL_TO, 0},
        {"selection timeout (bad target)", 0, 0x04, 0, 0, SS_COMP, HASTAT_SEL_TO, 0},
        {"command timeout (host)", 0, 0x03, 0, 0, SS_COMP, HASTAT_TIMEOUT, 0},
        {"command timeout (driver)", 0, 0, 0x06, 0, SS_COMP, HASTAT_TIMEOUT, 0},
        {"check condition with sense", 0, 0, 0x08, 0x02, SS_ERR, HASTAT_OK, STATUS_CHKCOND},
        {"target busy", 0, 0, 0, 0x08, SS_COMP, HASTAT_OK, STATUS_BUSY},
        {"task set full as busy", 0, 0, 0, 0x28, SS_COMP, HASTAT_OK, STATUS_BUSY},
        {"bus busy: ASPI busy", 0, 0x02, 0, 0, SS_ASPI_IS_BUSY, 0, 0},
        {"other host error", 0, 0x07, 0, 0, SS_COMP, HASTAT_PHASE_ERR, 0},
        {"driver error", 0, 0, 0x04, 0, SS_ERR, 0, 0},
        {"reservation conflict", 0, 0, 0, 0x18, SS_ERR, 0, 0x18},
        {"ioctl busy", EBUSY, 0, 0, 0, SS_ASPI_IS_BUSY, 0, 0},
        {"ioctl no device", ENODEV, 0, 0, 0, SS_COMP, HASTAT_SEL_TO, 0},
        {"ioctl too large", ENOMEM, 0, 0, 0, SS_BUFFER_TO_BIG, 0, 0},
        {"ioctl other", EIO, 0, 0, 0, SS_ERR, 0, 0},
    };
    FakeSg sg;
    sg.nodes = {{"/dev/sg0", {0, 1, 0}}};
    SgBackend backend(sg);
    ASSERT_EQ(SupportInfo(&backend) & 0xFF, 1u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sg.failWith = c.error;
        sg.answer = sg_io_hdr{};
        sg.answer.host_status = c.host;
        sg.answer.driver_status = c.driver;
        sg.answer.status = c.status;
        sg.answer.sb_len_wr = c.status == 0x02 ? 18 : 0;
        std::uint8_t data[8] = {};
        SRB_ExecSCSICmd srb = Request(0, 1, SRB_DIR_IN, data, sizeof data);
        std::memset(srb.SenseArea, 0xFF, sizeof srb.SenseArea);
        EXPECT_EQ(SendCommand(&backend, &srb), c.srbStatus);
        if (c.srbStatus == SS_COMP || c.srbStatus == SS_ERR) {
            EXPECT_EQ(srb.SRB_HaStat, c.haStat);
            EXPECT_EQ(srb.SRB_TargStat, c.targStat);
        }
        if (c.status == 0x02) {
            // The sense data, up to the request's sense length; the rest of the area cleared.
            for (std::size_t i = 0; i < SENSE_LEN; ++i) EXPECT_EQ(srb.SenseArea[i], 0x70 + i);
            EXPECT_EQ(srb.SenseArea[SENSE_LEN], 0);
        }
    }
}
