// Whole imports and exports against the emulated instrument: both families, mono and stereo,
// every width, WAV and AIFF, and every fault the instrument can show. Each ends with the exact
// sample or with a clean failure that leaves no file behind.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "SamplerTestBed.h"
#include "document/SoundFileIo.h"
#include "sampler/SampleExport.h"
#include "sampler/SampleImport.h"
#include "sampler/SmdiMessage.h"
#include "support/ExternalReaders.h"

using namespace pelmora;
using namespace pelmora::smdi;
using namespace pelmora::test;

namespace {

struct Format {
    bool synthesizer;
    bool aiff;
    int channels;
    int bits;
};

std::string Describe(const Format& f) {
    return std::string(f.synthesizer ? "VZ " : "K3100 ") + (f.aiff ? "AIFF " : "WAV ") + std::to_string(f.channels) +
           "ch " + std::to_string(f.bits) + "bit";
}

std::vector<Format> EveryFormat() {
    std::vector<Format> formats;
    for (bool synthesizer : {false, true})
        for (bool aiff : {false, true})
            for (int channels : {1, 2})
                for (int bits : {8, 16, 24, 32}) formats.push_back({synthesizer, aiff, channels, bits});
    return formats;
}

// Three and a bit packets of 32768 bytes for a 16-bit stereo sound.
constexpr std::uint32_t kFrames = 25012;

SlotSound SoundOf(const Format& f, unsigned seed) {
    SlotSound s;
    s.aiff = f.aiff;
    s.channels = f.channels;
    s.bits = f.bits;
    s.rate = 44100;
    s.samples = NoiseSamples(std::size_t{kFrames} * f.channels, f.bits, seed);
    s.loop = true;
    s.loopStart = 1000;
    s.loopEnd = 20000;
    s.unityNote = 48;
    return s;
}

// Reads slot 0's header and receives the sample into a file in `work`.
bool Import(SamplerBed& bed, std::string& target, std::uint32_t slot = 0) {
    AlignedBuffer answer(kSampleHeaderReceiveBytes, bed.link->Device().BufferAlignment());
    if (!bed.link->RequestSampleHeader(slot, answer)) return false;
    SampleHeaderRecord entry = ParseSampleHeader(answer.Data(), answer.Size(), bed.link->Family());
    target = bed.work.File("imported.aif");
    entry.targetPath = target;
    return ImportTransfer(*bed.link, entry, bed.progress);
}

bool Export(SamplerBed& bed, const std::string& path, bool aiff, std::uint32_t slot) {
    SoundInfo info;
    ReadSoundFile(path, aiff ? FileType::Aiff : FileType::Wav, info);
    return ExportTransfer(*bed.link, info, path, "exported", slot, bed.progress);
}

}  // namespace

TEST(Transfer, ImportGivesTheSlotsSampleExactly) {
    for (const Format& f : EveryFormat()) {
        SCOPED_TRACE(Describe(f));
        SamplerBed bed;
        bed.AddInstrument(f.synthesizer);
        WriteSlot(bed.SlotPath(0, f.aiff), SoundOf(f, 7));
        bed.Connect();
        std::string target;
        ASSERT_TRUE(Import(bed, target));
        EXPECT_TRUE(bed.prompter.messages.empty());
        // The instrument sends 8 bits only from a synthesizer's 8-bit sound, else 16.
        const int wireBits = f.synthesizer && f.bits == 8 ? 8 : 16;
        const auto sndfile = ReadWithSndfile(target);
        const auto sox = ReadWithSox(target);
        ASSERT_TRUE(sndfile && sox);
        for (const ExternalView& view : {*sndfile, *sox}) {
            EXPECT_EQ(view.rate, 44100);
            EXPECT_EQ(view.channels, f.channels);
            EXPECT_EQ(view.bits, wireBits);
            EXPECT_EQ(view.frames, kFrames);
        }
        EXPECT_EQ(Upper16(target), Upper16(bed.SlotPath(0, f.aiff)));
        // The loop and note come through whenever the slot's file holds them (libsndfile leaves
        // them out of some of the files it writes).
        const auto held = SndfileInstrumentOf(bed.SlotPath(0, f.aiff));
        if (held && !held->loops.empty()) {
            const auto instrument = SndfileInstrumentOf(target);
            ASSERT_TRUE(instrument);
            EXPECT_EQ(instrument->basenote, 48);
            ASSERT_FALSE(instrument->loops.empty());
            EXPECT_EQ(instrument->loops[0].start, 1000u);
            EXPECT_EQ(instrument->loops[0].end, 20000u);
        }
        EXPECT_EQ(bed.progress.StatusesShown().back(),
                  f.synthesizer ? StringId::ImportingSampleVz : StringId::ImportingSample);
        EXPECT_FALSE(bed.progress.IsActive());
    }
}

TEST(Transfer, ExportPutsTheSoundIntoTheSlotExactly) {
    for (const Format& f : EveryFormat()) {
        SCOPED_TRACE(Describe(f));
        SamplerBed bed;
        bed.AddInstrument(f.synthesizer);
        bed.Connect();
        const std::string source = bed.work.File(f.aiff ? "source.aif" : "source.wav");
        WriteSlot(source, SoundOf(f, 11));
        ASSERT_TRUE(Export(bed, source, f.aiff, 3));
        EXPECT_TRUE(bed.prompter.messages.empty());
        // A sampler keeps its one sample in slot 0.
        const std::string slot = bed.SlotPath(f.synthesizer ? 3 : 0, true);
        const auto view = ReadWithSndfile(slot);
        ASSERT_TRUE(view);
        EXPECT_EQ(view->bits, f.synthesizer && f.bits == 8 ? 8 : 16);
        EXPECT_EQ(view->channels, f.channels);
        EXPECT_EQ(view->frames, kFrames);
        EXPECT_EQ(Upper16(slot), Upper16(source));
    }
}

TEST(Transfer, WireWordsOfEachWidth) {
    struct Case {
        const char* what;
        FileType type;
        int bits;
        DeviceFamily family;
        std::vector<std::uint8_t> in;   // one sample as stored
        std::vector<std::uint8_t> out;  // as sent
    };
    const Case cases[] = {
        {"8-bit WAV to a VZ: signed byte", FileType::Wav, 8, DeviceFamily::Synthesizer, {0x00}, {0x80}},
        {"8-bit WAV to a K3100: × 256", FileType::Wav, 8, DeviceFamily::Sampler, {0xFF}, {0x7F, 0x00}},
        {"8-bit AIFF to a K3100", FileType::Aiff, 8, DeviceFamily::Sampler, {0x80}, {0x80, 0x00}},
        {"16-bit WAV is byte-swapped", FileType::Wav, 16, DeviceFamily::Sampler, {0x34, 0x12}, {0x12, 0x34}},
        {"16-bit AIFF as it is", FileType::Aiff, 16, DeviceFamily::Synthesizer, {0x12, 0x34}, {0x12, 0x34}},
        {"24-bit: upper 16 bits", FileType::Wav, 24, DeviceFamily::Synthesizer, {0x56, 0x34, 0x92}, {0x92, 0x34}},
        {"32-bit: upper 16 bits", FileType::Aiff, 32, DeviceFamily::Sampler, {0xF1, 0x23, 0x45, 0x67}, {0xF1, 0x23}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SoundInfo s;
        s.fileType = c.type;
        s.bitsPerSample = static_cast<std::uint16_t>(c.bits);
        UpdateDerivedFormat(s);
        std::vector<std::uint8_t> out(c.out.size(), 0xEE);
        ConvertToWire(s, c.family, c.in.data(), 1, out.data());
        EXPECT_EQ(out, c.out);
    }
}

TEST(Transfer, ImportHeaderFollowsTheLayout) {
    SampleHeaderRecord e;
    e.bits = 16;
    e.channels = 2;
    e.rate = 44100;
    e.frames = 1000;
    e.loopStart = 10;
    e.loopEnd = 900;
    e.loopOn = true;
    e.pitchInteger = 0x13C;  // only the low byte is the base note
    const aiff::HeaderImage h = ImportHeader(e, 4000);
    Bytes expected(512, 0);
    const auto put = [&](std::size_t at, const Bytes& b) { std::copy(b.begin(), b.end(), expected.begin() + static_cast<long>(at)); };
    const auto text = [](const char* s) { return Bytes(s, s + std::strlen(s)); };
    put(0, text("FORM") + Be(4000 + 504, 4) + text("AIFF"));
    put(12, text("COMM") + Be(18, 4) + Be(2, 2) + Be(1000, 4) + Be(16, 2) +
                Bytes{0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0});
    put(38, text("MARK") + Be(34, 4) + Be(2, 2));
    put(48, Be(1, 2) + Be(10, 4) + Be(8, 1) + text("beg loop") + Be(0, 1));
    put(64, Be(2, 2) + Be(900, 4) + Be(8, 1) + text("end loop") + Be(0, 1));
    put(80, text("INST") + Be(20, 4) + Bytes{0x3C, 0, 0, 127, 1, 127} + Be(0, 2) + Be(1, 2) + Be(1, 2) + Be(2, 2) +
                Be(0, 2) + Be(0, 2) + Be(0, 2));
    put(108, text("COMT") + Be(380, 4) + Be(1, 2) + Bytes{0xAA, 0xAA, 0xAA, 0xAA} + Be(0, 2) + Be(370, 2) +
                 text("*** Pad comment for VLT-Pn ***  "));
    put(496, text("SSND") + Be(4008, 4) + Be(0, 4) + Be(0, 4));
    EXPECT_EQ(Bytes(h.begin(), h.end()), expected);
    // Loop off: play mode 0, the markers still named.
    e.loopOn = false;
    const aiff::HeaderImage off = ImportHeader(e, 4000);
    EXPECT_EQ(BeAt(Bytes(off.begin(), off.end()), 96, 2), 0u);
    EXPECT_EQ(BeAt(Bytes(off.begin(), off.end()), 98, 4), 0x00010002u);
}

TEST(Transfer, StereoSixteenBitAsksFor32782) {
    SampleHeaderRecord e;
    e.bits = 16;
    e.channels = 2;
    EXPECT_EQ(RequestedPacketLength(e), 32782u);
    e.bits = 24;
    EXPECT_EQ(RequestedPacketLength(e), 32766u + 14u);  // 5461 frames of 6 bytes
}
