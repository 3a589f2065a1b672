#pragma once
// When the transport commands are enabled. Each answer is null when the command is enabled,
// otherwise the reason it is not, which pelmora-cli shows for a command the editor would grey.

#include "audio/AudioEngine.h"

namespace pelmora {

const char* WhyPlayDisabled(const AudioEngine& engine, const COLMDoc& doc, bool longOperation);
const char* WhyRecordDisabled(const AudioEngine& engine, const COLMDoc& doc);
const char* WhyRegionPlayDisabled(const AudioEngine& engine, const COLMDoc& doc, bool longOperation);
const char* WhyRewindDisabled(const AudioEngine& engine);

// Play shows pressed while the document plays (not recording); Record while it records.
bool PlayPressed(const AudioEngine& engine, const COLMDoc& doc);
bool RecordPressed(const AudioEngine& engine, const COLMDoc& doc);

}  // namespace pelmora
