#pragma once
// The File menu's whole-file conversions: Convert Bit Size, Add Channel, Delete Channel, Swap
// Channels and Format Conversion (WAVE -> AIFF, AIFF -> WAVE, the AIFF header for HD Play
// mode), each run through the whole-file frame, with the rules that enable them.

#include <array>
#include <cstdint>
#include <string>

#include "document/COLMDoc.h"

namespace pelmora {

// Which commands the menu enables for the document (the transport lock is the frame's).
bool CanConvertBitSize(const COLMDoc& doc);  // also Resample and Format Conversion
bool CanAddChannel(const COLMDoc& doc);
bool CanDeleteOrSwapChannels(const COLMDoc& doc);

// The three sizes (bytes per sample) Convert Bit Size offers for the current size, in the
// dialog's order, and the caption of each.
std::array<std::uint16_t, 3> BitSizeTargets(std::uint16_t bytesPerSample);
std::string BitSizeCaption(std::uint16_t fromBytes, std::uint16_t toBytes);

// Each raises Error when it fails (Cancelled on ESC); the document is then unchanged.
void ConvertBitSize(COLMDoc& doc, std::uint16_t toBytesPerSample);
void AddChannel(COLMDoc& doc);
// `channel` 0 is "Delete Ch1" (the right channel stays), 1 "Delete Ch2".
void DeleteChannel(COLMDoc& doc, int channel);
void SwapChannels(COLMDoc& doc);

// The Format Conversion choices that fit the document's type.
struct FormatChoices {
    bool waveToAiff = false;
    bool aiffToWave = false;
    bool hdPlayRewrite = false;
};
FormatChoices FormatConversionChoices(const COLMDoc& doc);

// WAVE -> AIFF and AIFF -> WAVE. A file edited in place is renamed for its new type, and the
// title follows; false when the user would not replace a file already at the new name.
bool ConvertToOtherType(COLMDoc& doc);
// Rewrite AIFF Header for HD Play Mode: the sample data moves to a 512-byte boundary.
void RewriteAiffHeaderForHdPlay(COLMDoc& doc);

// `path` with the extension of `type` (".wav", ".aif") in place of a sound file extension.
std::string WithTypeExtension(const std::string& path, FileType type);

}  // namespace pelmora
