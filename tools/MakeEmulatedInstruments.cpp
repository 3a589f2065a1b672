// pelmora-emulated-instruments DIR: makes an emulated SCSI bus in DIR with two instruments, a
// sampler holding one looped sample and a synthesizer with a few named slots, so the sampler
// commands can be tried without hardware (PELMORA_SCSI=emulated:DIR).

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/Error.h"
#include "base/SilentProgress.h"
#include "document/NewSoundFile.h"
#include "document/SoundFileIo.h"
#include "platform/File.h"

using namespace pelmora;

namespace {

struct Slot {
    const char* folder;
    int slot;
    FileType type;
    std::uint16_t channels;
    std::uint16_t bits;
    std::uint32_t rate;
    InitialData form;
    std::uint32_t frequency;
    std::uint32_t frames;
    const char* name;  // nullptr: the instrument shows the file's name
};

constexpr Slot kSlots[] = {
    {"K3100", 0, FileType::Wav, 1, 16, 44100, InitialData::Sine, 440, 44100, "Sine A440"},
    {"VZ5", 0, FileType::Aiff, 2, 16, 48000, InitialData::Sawtooth, 110, 24000, "Saw Stereo"},
    {"VZ5", 1, FileType::Wav, 1, 8, 22050, InitialData::Square, 220, 11025, "Square 8bit"},
    {"VZ5", 4, FileType::Wav, 1, 24, 44100, InitialData::Triangle, 330, 22050, nullptr},
};

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::trunc);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path);
}

void MakeSlot(const std::string& dir, const Slot& slot) {
    const std::string folder = dir + "/" + slot.folder;
    NewSoundRequest request;
    request.fileType = slot.type;
    request.channels = slot.channels;
    request.bits = slot.bits;
    request.rate = slot.rate;
    request.data = slot.form;
    request.amplitude = (std::uint32_t{1} << (slot.bits - 1)) / 2;
    request.frequency = slot.frequency;
    request.frames = slot.frames;
    SilentProgress progress;
    const std::string made = CreateNewSoundFile(request, folder, progress);
    // A loop over the second half, and the note an octave below middle C.
    SoundInfo info;
    ReadSoundFile(made, slot.type, info);
    info.loopOn = true;
    info.loopStart = slot.frames / 2;
    info.loopEnd = slot.frames;
    info.instrument.unityNote = 48;
    WriteLoopAndInstrument(made, info);
    const std::string base = folder + "/slot-" + std::to_string(slot.slot);
    if (!platform::RenameFile(made, base + (slot.type == FileType::Wav ? ".wav" : ".aif")))
        throw std::runtime_error("cannot name the sample of " + base);
    if (slot.name) WriteText(base + ".name", std::string(slot.name) + "\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    try {
        std::filesystem::create_directories(dir + "/K3100");
        std::filesystem::create_directories(dir + "/VZ5");
        WriteText(dir + "/K3100/instrument.txt", "vendor = ORBECK\nproduct = Sampler K3100\nid = 0\n");
        WriteText(dir + "/VZ5/instrument.txt",
                  "vendor = ORBECK\nproduct = Synthesizer VZ5\nid = 3\nslots = 1024\n");
        for (const Slot& slot : kSlots) MakeSlot(dir, slot);
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", e.Message().c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("PELMORA_SCSI=emulated:%s\n", dir.c_str());
    return 0;
}
