// CPU time of playback and of recording on the null device: 60 seconds (or argv[2]) of a 44.1 kHz
// 16-bit stereo sound, the whole process and the interface thread alone, and the allocations made
// while the sound runs (none are wanted per buffer).
//
//   pelmora-audio-bench WORKDIR [SECONDS]

#include <sys/resource.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "app/ApplicationState.h"
#include "base/SilentProgress.h"

namespace {

std::atomic<long> allocations{0};

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

double ProcessSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

class QuietPrompter : public pelmora::Prompter {
public:
    void Message(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    pelmora::Answer Ask(const std::string&, pelmora::Buttons) override { return pelmora::Answer::Cancel; }
};

void WriteSilentWav(const std::string& path, std::uint32_t frames) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    const std::uint32_t bytes = frames * 4;
    auto put = [f](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) std::fputc(static_cast<int>((v >> (8 * i)) & 0xFF), f);
    };
    std::fputs("RIFF", f);
    put(36 + bytes, 4);
    std::fputs("WAVEfmt ", f);
    put(16, 4), put(1, 2), put(2, 2), put(44100, 4), put(176400, 4), put(4, 2), put(16, 2);
    std::fputs("data", f);
    put(bytes, 4);
    std::vector<char> zeros(1 << 16);
    for (std::uint64_t left = bytes; left;) {
        const std::size_t n = std::min<std::uint64_t>(left, zeros.size());
        std::fwrite(zeros.data(), 1, n, f);
        left -= n;
    }
    std::fclose(f);
}

void Measure(const char* what, pelmora::ApplicationState& app, pelmora::COLMDoc& doc, bool record) {
    using Clock = std::chrono::steady_clock;
    doc.playCursor = 0;
    const double thread0 = ThreadSeconds(), process0 = ProcessSeconds();
    const auto wall0 = Clock::now();
    const pelmora::StartResult started = record ? app.audio.Record(doc) : app.audio.Play(doc);
    if (started != pelmora::StartResult::Started) {
        std::fprintf(stderr, "%s did not start\n", what);
        std::exit(1);
    }
    const long allocated0 = allocations.load();
    while (app.audio.Active())
        if (app.audio.Messages().Wait(200)) app.audio.PumpMessages();
    const long allocated = allocations.load() - allocated0;
    const double wall = std::chrono::duration<double>(Clock::now() - wall0).count();
    const double process = ProcessSeconds() - process0, thread = ThreadSeconds() - thread0;
    std::printf("%-9s wall %6.2f s  cpu %6.3f s (%5.2f %% of a core)  interface thread %6.3f s (%5.2f %%)  "
                "allocations while running %ld\n",
                what, wall, process, 100 * process / wall, thread, 100 * thread / wall, allocated);
}

}  // namespace

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: pelmora-audio-bench WORKDIR [SECONDS]\n");
        return 2;
    }
    const std::string dir = argv[1];
    const double seconds = argc > 2 ? std::atof(argv[2]) : 60;
    const std::string sound = dir + "/bench.wav", in = dir + "/in.wav";
    WriteSilentWav(sound, static_cast<std::uint32_t>(seconds * 44100));
    WriteSilentWav(in, static_cast<std::uint32_t>(seconds * 44100));
    const std::string audio = "null:" + in + ":";  // playback goes into nothing
    setenv("PELMORA_AUDIO", audio.c_str(), 1);
    QuietPrompter prompter;
    pelmora::SilentProgress progress;
    pelmora::ApplicationState app(prompter, progress);
    app.SetWorkDirAtStartup(dir);
    app.fileBackup = false;
    app.EnumerateDevices();
    app.audio.SetSettleOnStop(true);
    pelmora::COLMDoc& doc = app.Open(sound);
    Measure("playback", app, doc, false);
    Measure("recording", app, doc, true);
    return 0;
}
