#include "audio/TransportRules.h"

namespace pelmora {

namespace {

bool OtherDocumentRuns(const AudioEngine& engine, const COLMDoc& doc) {
    return engine.Active() && engine.Active() != &doc;
}

bool PlayableWidth(const COLMDoc& doc) {
    const std::uint16_t bytes = doc.Info().bitsPerSample / 8 + (doc.Info().bitsPerSample % 8 ? 1 : 0);
    return bytes == 1 || bytes == 2;
}

}  // namespace

const char* WhyPlayDisabled(const AudioEngine& engine, const COLMDoc& doc, bool longOperation) {
    if (OtherDocumentRuns(engine, doc)) return "another sound is playing or recording";
    if (!PlayableWidth(doc)) return "only 8- and 16-bit sounds can be played";
    const Transport t = engine.TransportOf(doc);
    if (t == Transport::Recording) return "the sound is recording";
    if (t == Transport::RegionPlaying) return "the sound is playing its selection";
    if (engine.RecordPending(doc)) return "the recording is still being settled";
    if (longOperation) return "a long operation is running";
    return nullptr;
}

const char* WhyRecordDisabled(const AudioEngine& engine, const COLMDoc& doc) {
    if (OtherDocumentRuns(engine, doc)) return "another sound is playing or recording";
    if (doc.ReadOnly()) return "the file is read-only and edited in place";
    if (!PlayableWidth(doc)) return "only 8- and 16-bit sounds can be recorded";
    const Transport t = engine.TransportOf(doc);
    if (t == Transport::Playing || t == Transport::RegionPlaying) return "the sound is playing";
    return nullptr;
}

const char* WhyRegionPlayDisabled(const AudioEngine& engine, const COLMDoc& doc, bool longOperation) {
    if (engine.Active()) return "a sound is playing or recording";
    if (doc.selectionStart >= doc.selectionEnd) return "the selection is empty";
    if (doc.Info().bitsPerSample > 16) return "only 8- and 16-bit sounds can be played";
    if (longOperation) return "a long operation is running";
    return nullptr;
}

const char* WhyRewindDisabled(const AudioEngine& engine) {
    const COLMDoc* active = engine.Active();
    if (!active) return nullptr;
    const Transport t = engine.TransportOf(*active);
    if (t == Transport::Recording) return "the sound is recording";
    if (t == Transport::RegionPlaying) return "the sound is playing its selection";
    return nullptr;
}

bool PlayPressed(const AudioEngine& engine, const COLMDoc& doc) {
    return engine.TransportOf(doc) == Transport::Playing;
}

bool RecordPressed(const AudioEngine& engine, const COLMDoc& doc) {
    return engine.TransportOf(doc) == Transport::Recording;
}

}  // namespace pelmora
