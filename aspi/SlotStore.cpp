#include "aspi/SlotStore.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "base/Error.h"
#include "sound/AiffReader.h"
#include "sound/AiffUpdate.h"
#include "sound/AiffWriter.h"
#include "sound/Identify.h"
#include "sound/SampleCodec.h"
#include "sound/WavReader.h"

namespace pelmora::aspi {

namespace {

std::optional<SlotSample> ReadSlotFile(const std::string& path) {
    platform::File file;
    if (!file.Open(path, platform::OpenMode::Read)) return std::nullopt;
    SlotSample sample;
    sample.path = path;
    try {
        sample.info.fileType = IdentifySoundFile(file);
        if (sample.info.fileType == FileType::Wav)
            wav::ReadIntoDocument(file, sample.info);
        else
            aiff::ReadIntoDocument(file, sample.info);
    } catch (const Error&) {
        return std::nullopt;
    }
    return sample;
}

std::string FirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    if (!in || !std::getline(in, line)) return {};
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace

std::string SlotStore::PathOf(std::uint32_t slot, const char* extension) const {
    return folder_ + "/slot-" + std::to_string(slot) + extension;
}

std::optional<SlotSample> SlotStore::Find(std::uint32_t slot) const {
    std::optional<SlotSample> sample;
    for (const char* extension : {".wav", ".aif"}) {
        if (platform::FileExists(PathOf(slot, extension))) {
            sample = ReadSlotFile(PathOf(slot, extension));
            break;
        }
    }
    if (!sample) return std::nullopt;
    const std::string nameFile = PathOf(slot, ".name");
    sample->name = platform::FileExists(nameFile) ? FirstLine(nameFile) : "";
    if (sample->name.empty()) {
        const std::string file = platform::FileNameOf(sample->path);
        sample->name = file.substr(0, file.rfind('.'));
    }
    // The name's length travels in one byte.
    if (sample->name.size() > 255) sample->name.resize(255);
    return sample;
}

int WordBytesFor(const SoundInfo& info, bool synthesizer) {
    return synthesizer && info.bytesPerSample == 1 ? 1 : 2;
}

bool SlotReader::Open(const SlotSample& sample, int wordBytes) {
    if (!file_.Open(sample.path, platform::OpenMode::Read)) return false;
    info_ = sample.info;
    wordBytes_ = wordBytes;
    total_ = std::uint64_t{info_.frames} * info_.channels * static_cast<std::uint64_t>(wordBytes_);
    return true;
}

bool SlotReader::Read(std::uint64_t offset, std::size_t count, std::uint8_t* out) const {
    if (offset > total_ || count > total_ - offset) return false;
    const auto w = static_cast<std::uint64_t>(wordBytes_);
    const std::uint64_t firstWord = offset / w;
    const std::uint64_t endWord = (offset + count + w - 1) / w;
    const std::uint16_t width = info_.bytesPerSample;
    std::vector<std::uint8_t> raw(static_cast<std::size_t>((endWord - firstWord) * width));
    // Samples of one frame lie next to each other, so word i is sample i of the data.
    if (!raw.empty() && !file_.ReadAt(info_.dataOffset + firstWord * width, raw.data(), raw.size())) return false;
    std::vector<std::uint8_t> words(static_cast<std::size_t>((endWord - firstWord) * w));
    const int shift = (width - 2) * 8;
    for (std::size_t i = 0; i < words.size() / w; ++i) {
        const std::int32_t v = ReadSample(info_.fileType, width, raw.data() + i * width);
        if (w == 1) {
            words[i] = static_cast<std::uint8_t>(v);
        } else {
            const std::int32_t word = shift >= 0 ? (v >> shift) : v * 256;
            words[2 * i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(word) >> 8);
            words[2 * i + 1] = static_cast<std::uint8_t>(word);
        }
    }
    std::copy_n(words.begin() + static_cast<std::ptrdiff_t>(offset - firstWord * w), count, out);
    return true;
}

std::uint64_t SlotWriter::Expected() const {
    return std::uint64_t{format_.frames} * format_.channels * BytesPerSampleFor(format_.bits);
}

bool SlotWriter::Begin(const SlotStore& store, std::uint32_t slot, const IncomingFormat& format) {
    Abandon();
    format_ = format;
    received_ = 0;
    temporary_ = store.PathOf(slot, ".incoming");
    target_ = store.PathOf(slot, ".aif");
    otherType_ = store.PathOf(slot, ".wav");
    nameFile_ = store.PathOf(slot, ".name");
    if (!file_.Open(temporary_, platform::OpenMode::CreateTruncate)) return false;
    SoundInfo info;
    info.channels = format.channels;
    info.bitsPerSample = format.bits;
    info.sampleRate = format.rate;
    info.frames = format.frames;
    try {
        aiff::WriteNewFile(file_, info);
    } catch (const Error&) {
        Abandon();
        return false;
    }
    return true;
}

bool SlotWriter::Append(const std::uint8_t* words, std::size_t count) {
    const std::uint64_t room = Expected() - received_;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(room, count));
    // SMDI words are AIFF's own encoding: big-endian, signed.
    if (n && !file_.WriteAt(512 + received_, words, n)) return false;
    received_ += n;
    return true;
}

bool SlotWriter::Finish() {
    if (!file_.IsOpen()) return false;
    SoundInfo info;
    info.fileType = FileType::Aiff;
    info.channels = format_.channels;
    info.bitsPerSample = format_.bits;
    info.sampleRate = format_.rate;
    info.dataOffset = 512;
    UpdateDerivedFormat(info);
    info.frames = static_cast<std::uint32_t>(received_ / std::max<std::uint16_t>(info.blockAlign, 1));
    info.loopOn = format_.loopOn;
    info.loopStart = format_.loopStart;
    info.loopEnd = format_.loopEnd;
    info.instrument.unityNote = format_.unityNote;
    ClampLoop(info);
    try {
        if (!file_.SetSize(512 + DataBytes(info))) throw Error(WriteFailure());
        aiff::RefreshHeader(file_, info);
        aiff::UpdateLoopAndInstrument(file_, info);
    } catch (const Error&) {
        Abandon();
        return false;
    }
    file_.Close();
    if (!platform::RenameFile(temporary_, target_)) {
        Abandon();
        return false;
    }
    platform::RemoveFile(otherType_);
    std::ofstream(nameFile_, std::ios::trunc) << format_.name << '\n';
    return true;
}

void SlotWriter::Abandon() {
    if (file_.IsOpen()) {
        file_.Close();
        platform::RemoveFile(temporary_);
    }
}

}  // namespace pelmora::aspi
