#pragma once
// The WAV chunk ids, their field layouts and the tuning rules shared by the WAV readers and
// writers. All fields are little-endian.

#include <cstdint>

#include "sound/Bytes.h"
#include "sound/SoundInfo.h"

namespace pelmora::wav {

inline constexpr FourCC kWaveForm = MakeFourCC("WAVE");
inline constexpr FourCC kFmtId = MakeFourCC("fmt ");
inline constexpr FourCC kDataId = MakeFourCC("data");
inline constexpr FourCC kSmplId = MakeFourCC("smpl");
inline constexpr FourCC kInstId = MakeFourCC("inst");
inline constexpr FourCC kCueId = MakeFourCC("cue ");
inline constexpr FourCC kAdtlType = MakeFourCC("adtl");
inline constexpr FourCC kLablId = MakeFourCC("labl");
inline constexpr FourCC kApplId = MakeFourCC("Appl");

inline constexpr std::uint16_t kPcmFormatTag = 1;
inline constexpr std::size_t kFmtBytes = 16;
inline constexpr std::size_t kSmplHeaderBytes = 36;
inline constexpr std::size_t kLoopRecordBytes = 24;
inline constexpr std::size_t kInstBytes = 7;
inline constexpr std::size_t kCuePointBytes = 24;

struct FmtFields {
    std::uint16_t formatTag = kPcmFormatTag;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t averageBytesPerSecond = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
};

FmtFields DecodeFmt(const std::uint8_t* p);
void EncodeFmt(std::uint8_t* p, const FmtFields& fmt);
// The PCM fields for a format: block align = channels × ((bits + 7) / 8).
FmtFields PcmFmt(std::uint16_t channels, std::uint32_t sampleRate, std::uint16_t bitsPerSample);

WavSmplHeader DecodeSmplHeader(const std::uint8_t* p);
void EncodeSmplHeader(std::uint8_t* p, const WavSmplHeader& header);
WavLoopRecord DecodeLoopRecord(const std::uint8_t* p);
void EncodeLoopRecord(std::uint8_t* p, const WavLoopRecord& record);

WavCuePoint DecodeCuePoint(const std::uint8_t* p);
void EncodeCuePoint(std::uint8_t* p, const WavCuePoint& cue);

// File order: unity note, fine tune, gain, low note, high note, low velocity, high velocity.
WavInstrument DecodeInst(const std::uint8_t* p);
void EncodeInst(std::uint8_t* p, const WavInstrument& instrument);

// The first loop record as the document sees it; `end` + 1 wraps as a 32-bit value.
WavSampleLoop SampleLoopOf(const WavLoopRecord& record);
// Loop on needs an endless play count and a range that is not empty.
bool LoopIsOn(const WavLoopRecord& record);

// Unity note and fine tune from the 'smpl' MIDI fields, for files without 'inst': the fraction
// in cents is an unsigned 64-bit product, truncated; above 50 cents the note is raised.
void TuningFromSmpl(const WavSmplHeader& header, WavInstrument& instrument);

// The 'smpl' MIDI note and pitch fraction that stand for a unity note and fine tune: a negative
// fine tune is stored as the note below plus a fraction, never below note 0. The fraction is
// rounded up so that reading it back gives the same cents.
struct SmplTuning {
    std::uint32_t unityNote = 0;
    std::uint32_t pitchFraction = 0;
};
SmplTuning SmplTuningFor(const WavInstrument& instrument);

// Writes the unity note and fine tune into a 'smpl' header that has them already. The stored
// pitch fraction is finer than whole cents: it stays while it still reads as the same fine
// tune, so that a save which changed no tuning keeps it.
void SetTuningKeepingFraction(WavSmplHeader& header, const WavInstrument& instrument);

// The sample period field: whole nanoseconds per frame.
std::uint32_t SamplePeriod(std::uint32_t sampleRate);

// A new 'smpl' header and its one loop record for the sound's loop.
WavSmplHeader NewSmplHeader(const SoundInfo& info);
WavLoopRecord LoopRecordFor(const SoundInfo& info, WavLoopRecord record = {});

}  // namespace pelmora::wav
