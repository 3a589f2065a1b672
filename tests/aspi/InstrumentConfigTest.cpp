// Reading instrument.txt: fields of fixed width, the family, the fault list, and what is refused.

#include <gtest/gtest.h>

#include "aspi/InstrumentConfig.h"

using namespace pelmora::aspi;

TEST(InstrumentConfig, FieldsAndFamilies) {
    struct Case {
        const char* text;
        const char* vendor;
        const char* product;
        int id;
        std::uint32_t slots;
        EmulatedFamily family;
    };
    const Case cases[] = {
        // padded with blanks to 8 and 16; a sampler has one slot whatever it says
        {"vendor = ORBECK\nproduct = TQ9000\nid = 3\nslots = 40\n", "ORBECK  ", "TQ9000          ", 3, 1, EmulatedFamily::Sampler},
        // trailing blanks kept, comments and blank lines skipped, CRLF taken
        {"# a synth\r\n\r\nvendor = ORBECK  \r\nproduct = Synthesizer VZ5R\r\nid=6\r\n", "ORBECK  ", "Synthesizer VZ5R", 6, 1024,
         EmulatedFamily::Synthesizer},
        // \xHH escapes, cut to 16; the family named outright
        {"vendor=ACME\nproduct = Synthesizer VZ5\\x00\nid = 0\nfamily = sampler\n", "ACME    ", "Synthesizer VZ5\0", 0, 1,
         EmulatedFamily::Sampler},
        {"product = Synthesizer VZ7 and more\nid = 1\nslots = 12\n", "        ", "Synthesizer VZ7 ", 1, 12,
         EmulatedFamily::Synthesizer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string problem;
        const auto config = ParseInstrumentConfig(c.text, problem);
        ASSERT_TRUE(config.has_value()) << problem;
        EXPECT_EQ(config->vendor, std::string(c.vendor, 8));
        EXPECT_EQ(config->product, std::string(c.product, 16));
        EXPECT_EQ(config->id, c.id);
        EXPECT_EQ(config->slots, c.slots);
        EXPECT_EQ(config->family, c.family);
    }
}

TEST(InstrumentConfig, Faults) {
    std::string problem;
    const auto config = ParseInstrumentConfig(
        "id = 1\nfaults = wait:2, busy:9, reject-header:5, eop-early:1, abort:3, zero-period, zero-packet, long-data, "
        "selection-timeout, reject-request:0x30, reject-begin:2, reject-identify\n",
        problem);
    ASSERT_TRUE(config.has_value()) << problem;
    const Faults& f = config->faults;
    EXPECT_EQ(f.wait, 2);
    EXPECT_EQ(f.busy, 9);
    EXPECT_EQ(f.rejectHeader, 5);
    EXPECT_EQ(f.endEarlyAt, 1);
    EXPECT_EQ(f.abortAt, 3);
    EXPECT_TRUE(f.zeroPeriod && f.zeroPacket && f.longData && f.rejectIdentify);
    EXPECT_EQ(f.selectionTimeout, -1);
    EXPECT_EQ(f.rejectRequest, 0x30);
    EXPECT_EQ(f.rejectBegin, 2);
}

TEST(InstrumentConfig, Refused) {
    for (const char* text : {
             "vendor = ORBECK\n",            // no id
             "id = 7\n",                     // the adapter's own id
             "id = -1\n", "id = two\n",
             "id = 1\nslots = 0\n",
             "id = 1\ncolour = red\n",       // unknown key
             "id = 1\nfaults = wait\n",      // a count is needed
             "id = 1\nfaults = melt:3\n",
             "id = 1\nfamily = drum\n",
             "id 1\n",
         }) {
        std::string problem;
        EXPECT_FALSE(ParseInstrumentConfig(text, problem).has_value()) << text;
        EXPECT_FALSE(problem.empty()) << text;
    }
}
