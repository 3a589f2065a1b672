#include "sound/WavChunks.h"

namespace pelmora::wav {

FmtFields DecodeFmt(const std::uint8_t* p) {
    FmtFields fmt;
    fmt.formatTag = LoadLE16(p);
    fmt.channels = LoadLE16(p + 2);
    fmt.sampleRate = LoadLE32(p + 4);
    fmt.averageBytesPerSecond = LoadLE32(p + 8);
    fmt.blockAlign = LoadLE16(p + 12);
    fmt.bitsPerSample = LoadLE16(p + 14);
    return fmt;
}

void EncodeFmt(std::uint8_t* p, const FmtFields& fmt) {
    StoreLE16(p, fmt.formatTag);
    StoreLE16(p + 2, fmt.channels);
    StoreLE32(p + 4, fmt.sampleRate);
    StoreLE32(p + 8, fmt.averageBytesPerSecond);
    StoreLE16(p + 12, fmt.blockAlign);
    StoreLE16(p + 14, fmt.bitsPerSample);
}

FmtFields PcmFmt(std::uint16_t channels, std::uint32_t sampleRate, std::uint16_t bitsPerSample) {
    FmtFields fmt;
    fmt.channels = channels;
    fmt.sampleRate = sampleRate;
    fmt.bitsPerSample = bitsPerSample;
    fmt.blockAlign = static_cast<std::uint16_t>(channels * BytesPerSampleFor(bitsPerSample));
    fmt.averageBytesPerSecond = fmt.blockAlign * sampleRate;
    return fmt;
}

WavSmplHeader DecodeSmplHeader(const std::uint8_t* p) {
    WavSmplHeader h;
    h.manufacturer = LoadLE32(p);
    h.product = LoadLE32(p + 4);
    h.samplePeriod = LoadLE32(p + 8);
    h.midiUnityNote = LoadLE32(p + 12);
    h.midiPitchFraction = LoadLE32(p + 16);
    h.smpteFormat = LoadLE32(p + 20);
    h.smpteOffset = LoadLE32(p + 24);
    h.loopCount = LoadLE32(p + 28);
    h.samplerDataSize = LoadLE32(p + 32);
    return h;
}

void EncodeSmplHeader(std::uint8_t* p, const WavSmplHeader& h) {
    StoreLE32(p, h.manufacturer);
    StoreLE32(p + 4, h.product);
    StoreLE32(p + 8, h.samplePeriod);
    StoreLE32(p + 12, h.midiUnityNote);
    StoreLE32(p + 16, h.midiPitchFraction);
    StoreLE32(p + 20, h.smpteFormat);
    StoreLE32(p + 24, h.smpteOffset);
    StoreLE32(p + 28, h.loopCount);
    StoreLE32(p + 32, h.samplerDataSize);
}

WavLoopRecord DecodeLoopRecord(const std::uint8_t* p) {
    WavLoopRecord r;
    r.cuePointId = LoadLE32(p);
    r.type = LoadLE32(p + 4);
    r.start = LoadLE32(p + 8);
    r.end = LoadLE32(p + 12);
    r.fraction = LoadLE32(p + 16);
    r.playCount = LoadLE32(p + 20);
    return r;
}

void EncodeLoopRecord(std::uint8_t* p, const WavLoopRecord& r) {
    StoreLE32(p, r.cuePointId);
    StoreLE32(p + 4, r.type);
    StoreLE32(p + 8, r.start);
    StoreLE32(p + 12, r.end);
    StoreLE32(p + 16, r.fraction);
    StoreLE32(p + 20, r.playCount);
}

WavCuePoint DecodeCuePoint(const std::uint8_t* p) {
    WavCuePoint c;
    c.id = LoadLE32(p);
    c.position = LoadLE32(p + 4);
    c.chunkId = LoadLE32(p + 8);
    c.chunkStart = LoadLE32(p + 12);
    c.blockStart = LoadLE32(p + 16);
    c.sampleOffset = LoadLE32(p + 20);
    return c;
}

void EncodeCuePoint(std::uint8_t* p, const WavCuePoint& c) {
    StoreLE32(p, c.id);
    StoreLE32(p + 4, c.position);
    StoreLE32(p + 8, c.chunkId);
    StoreLE32(p + 12, c.chunkStart);
    StoreLE32(p + 16, c.blockStart);
    StoreLE32(p + 20, c.sampleOffset);
}

WavInstrument DecodeInst(const std::uint8_t* p) {
    WavInstrument inst;
    inst.unityNote = p[0];
    inst.fineTune = static_cast<std::int8_t>(p[1]);
    inst.gain = static_cast<std::int8_t>(p[2]);
    inst.lowNote = p[3];
    inst.highNote = p[4];
    inst.lowVelocity = p[5];
    inst.highVelocity = p[6];
    return inst;
}

void EncodeInst(std::uint8_t* p, const WavInstrument& inst) {
    p[0] = inst.unityNote;
    p[1] = static_cast<std::uint8_t>(inst.fineTune);
    p[2] = static_cast<std::uint8_t>(inst.gain);
    p[3] = inst.lowNote;
    p[4] = inst.highNote;
    p[5] = inst.lowVelocity;
    p[6] = inst.highVelocity;
}

WavSampleLoop SampleLoopOf(const WavLoopRecord& record) {
    WavSampleLoop loop;
    loop.looping = record.playCount != 1 ? 1 : 0;
    loop.playCount = record.playCount;
    loop.start = record.start;
    loop.endPlusOne = record.end + 1u;
    return loop;
}

bool LoopIsOn(const WavLoopRecord& record) {
    return record.playCount == 0 && record.start != record.end + 1u;
}

void TuningFromSmpl(const WavSmplHeader& header, WavInstrument& instrument) {
    instrument.unityNote = static_cast<std::uint8_t>(header.midiUnityNote & 0xFF);
    const std::uint64_t cents = (static_cast<std::uint64_t>(header.midiPitchFraction) * 100) >> 32;
    if (cents > 50) {
        instrument.unityNote = static_cast<std::uint8_t>(instrument.unityNote + 1);
        instrument.fineTune = static_cast<std::int8_t>(static_cast<int>(cents) - 100);
    } else {
        instrument.fineTune = static_cast<std::int8_t>(cents);
    }
}

SmplTuning SmplTuningFor(const WavInstrument& instrument) {
    // The pitch in cents above MIDI note 0, split into a whole note and the cents above it.
    const int total = instrument.unityNote * 100 + instrument.fineTune;
    if (total < 0) return {};
    const auto cents = static_cast<std::uint64_t>(total % 100);
    SmplTuning tuning;
    tuning.unityNote = static_cast<std::uint32_t>(total / 100);
    tuning.pitchFraction = static_cast<std::uint32_t>(((cents << 32) + 99) / 100);
    return tuning;
}

void SetTuningKeepingFraction(WavSmplHeader& header, const WavInstrument& instrument) {
    const SmplTuning tuning = SmplTuningFor(instrument);
    WavSmplHeader kept = header;
    kept.midiUnityNote = tuning.unityNote;
    WavInstrument readBack;
    TuningFromSmpl(kept, readBack);
    const bool same = readBack.unityNote == instrument.unityNote && readBack.fineTune == instrument.fineTune;
    header.midiUnityNote = tuning.unityNote;
    if (!same) header.midiPitchFraction = tuning.pitchFraction;
}

std::uint32_t SamplePeriod(std::uint32_t sampleRate) {
    return sampleRate == 0 ? 0 : 1000000000u / sampleRate;
}

WavSmplHeader NewSmplHeader(const SoundInfo& info) {
    const SmplTuning tuning = SmplTuningFor(info.instrument);
    WavSmplHeader header;
    header.samplePeriod = SamplePeriod(info.sampleRate);
    header.midiUnityNote = tuning.unityNote;
    header.midiPitchFraction = tuning.pitchFraction;
    header.loopCount = 1;
    return header;
}

WavLoopRecord LoopRecordFor(const SoundInfo& info, WavLoopRecord record) {
    record.start = info.loopStart;
    record.end = info.loopEnd - 1u;
    record.playCount = info.loopOn ? 0 : 1;
    return record;
}

}  // namespace pelmora::wav
