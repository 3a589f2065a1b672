// Sampler transfer benchmark: import and export of one sample (10 MB by default, 16-bit stereo
// 44.1 kHz) through the emulated instrument, in process. Prints the throughput, the share of
// the time spent outside the emulator's own work (the master's side: buffers, conversion, the
// import's file writes and the export's reads), and the peak memory.
//
//   pelmora-sampler-bench SCRATCH_DIR [MEGABYTES] [RUNS]

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "aspi/EmulatedBus.h"
#include "base/SilentProgress.h"
#include "document/SoundFileIo.h"
#include "sampler/InstrumentList.h"
#include "sampler/SampleExport.h"
#include "sampler/SampleImport.h"

using namespace pelmora;
using Clock = std::chrono::steady_clock;

namespace {

// Passes every command to the emulated bus and adds up the time it takes there.
class TimedBus : public aspi::Backend {
public:
    explicit TimedBus(std::string dir) : inner_(std::move(dir)) {}
    void Refresh() override { inner_.Refresh(); }
    std::uint8_t AdapterCount() const override { return inner_.AdapterCount(); }
    void Inquire(aspi::SRB_HAInquiry& srb) override { inner_.Inquire(srb); }
    void Execute(aspi::SRB_ExecSCSICmd& srb) override {
        const auto start = Clock::now();
        inner_.Execute(srb);
        inside += Clock::now() - start;
    }
    Clock::duration inside{};

private:
    aspi::EmulatedBus inner_;
};

TimedBus* gBus = nullptr;
std::uint32_t SupportInfo() { return aspi::SupportInfo(gBus); }
std::uint32_t Send(void* srb) { return aspi::SendCommand(gBus, srb); }

class Loud : public Prompter {
public:
    void Message(const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
    Answer Ask(const std::string&, Buttons) override { return Answer::Cancel; }
};

void PutLe(std::vector<char>& out, std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

// A plain 16-bit stereo WAV of noise.
void WriteSlot(const std::string& path, std::uint32_t frames) {
    const std::uint32_t data = frames * 4;
    std::vector<char> header(44, 0);
    std::copy_n("RIFF", 4, header.begin());
    PutLe(header, 4, 36 + data, 4);
    std::copy_n("WAVEfmt ", 8, header.begin() + 8);
    PutLe(header, 16, 16, 4);
    PutLe(header, 20, 1, 2);
    PutLe(header, 22, 2, 2);
    PutLe(header, 24, 44100, 4);
    PutLe(header, 28, 44100 * 4, 4);
    PutLe(header, 32, 4, 2);
    PutLe(header, 34, 16, 2);
    std::copy_n("data", 4, header.begin() + 36);
    PutLe(header, 40, data, 4);
    std::ofstream out(path, std::ios::binary);
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
    std::mt19937 random(1);
    std::vector<char> block(1 << 16);
    for (std::uint32_t left = data; left > 0;) {
        for (char& c : block) c = static_cast<char>(random());
        const std::uint32_t n = std::min<std::uint32_t>(left, static_cast<std::uint32_t>(block.size()));
        out.write(block.data(), n);
        left -= n;
    }
}

struct Run {
    double seconds = 0;
    double insideSeconds = 0;
};

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void Report(const char* what, std::vector<Run> runs, double megabytes) {
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
    const Run& median = runs[runs.size() / 2];
    const double outside = median.seconds - median.insideSeconds;
    std::printf("%-7s %8.3f s %8.1f MB/s   emulator %6.3f s   outside %6.3f s = %5.1f %%\n", what, median.seconds,
                megabytes / median.seconds, median.insideSeconds, outside, 100.0 * outside / median.seconds);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s SCRATCH_DIR [MEGABYTES] [RUNS]\n", argv[0]);
        return 2;
    }
    const std::string scratch = argv[1];
    const double megabytes = argc > 2 ? std::atof(argv[2]) : 10.0;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
    const auto frames = static_cast<std::uint32_t>(megabytes * 1e6 / 4);
    const std::string bus = scratch + "/bus";
    std::filesystem::create_directories(bus + "/vz");
    std::ofstream(bus + "/vz/instrument.txt") << "vendor = ORBECK\nproduct = Synthesizer VZ5\nid = 1\n";
    // Every other id taken too, so that the scan waits out no empty target's retries.
    for (int id : {0, 2, 3, 4, 5, 6}) {
        const std::string other = bus + "/other" + std::to_string(id);
        std::filesystem::create_directories(other);
        std::ofstream(other + "/instrument.txt") << "vendor = SOMEONE\nproduct = Tape\nid = " << id << "\n";
    }
    WriteSlot(bus + "/vz/slot-0.wav", frames);

    TimedBus timed(bus);
    gBus = &timed;
    const AspiEntryPoints entry{SupportInfo, Send};
    InstrumentList list;
    list.Scan(entry);
    if (list.Empty()) {
        std::fprintf(stderr, "no instrument found\n");
        return 1;
    }
    Loud prompter;
    SilentProgress progress;
    const ScsiDeviceEntry& instrument = *list.CurrentInstrument();
    smdi::SmdiLink link(*instrument.device, instrument.family, prompter);
    const std::string imported = scratch + "/imported.aif";

    std::vector<Run> imports, exports;
    for (int i = 0; i < runs; ++i) {
        std::filesystem::remove(imported);
        AlignedBuffer answer(smdi::kSampleHeaderReceiveBytes, instrument.device->BufferAlignment());
        timed.inside = {};
        const auto start = Clock::now();
        if (!link.RequestSampleHeader(0, answer)) return 1;
        smdi::SampleHeaderRecord entryRecord = smdi::ParseSampleHeader(answer.Data(), answer.Size(), instrument.family);
        entryRecord.targetPath = imported;
        if (!smdi::ImportTransfer(link, entryRecord, progress)) return 1;
        imports.push_back({Seconds(Clock::now() - start), Seconds(timed.inside)});

        SoundInfo info;
        ReadSoundFile(imported, FileType::Aiff, info);
        timed.inside = {};
        const auto exportStart = Clock::now();
        if (!smdi::ExportTransfer(link, info, imported, "bench", 1, progress)) return 1;
        exports.push_back({Seconds(Clock::now() - exportStart), Seconds(timed.inside)});
    }
    std::printf("%.1f MB (16-bit stereo, %u frames), median of %d runs\n", megabytes, frames, runs);
    Report("import", imports, megabytes);
    Report("export", exports, megabytes);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory %ld KiB\n", usage.ru_maxrss);
    return 0;
}
