#include <vector>

#include "base/Error.h"
#include "document/SoundFileIo.h"
#include "document/TempFiles.h"
#include "edit/ClipboardOps.h"
#include "sound/AiffInst.h"
#include "sound/AiffTemplates.h"
#include "sound/AiffWriter.h"
#include "sound/FrameTransfer.h"
#include "sound/WavWriter.h"

namespace pelmora {

namespace {

// WAV fields name frames: a cue point is inside when every field that holds its frame is.
bool CueInside(const WavCuePoint& cue, std::uint32_t s, std::uint32_t e) {
    const bool positionUsed = !(cue.position == 0 && cue.sampleOffset != 0);
    const bool offsetUsed = !(cue.sampleOffset == 0 && cue.position != 0);
    const auto inside = [&](std::uint32_t frame) { return s <= frame && frame < e; };
    return (!positionUsed || inside(cue.position)) && (!offsetUsed || inside(cue.sampleOffset));
}

// The loops and cue points of a WAV sound that lie wholly inside s .. e, moved to start at 0.
// The document's loop stands in for the first loop record.
void KeepWavMarkers(const SoundInfo& from, std::uint32_t s, std::uint32_t e, bool loopInside, SoundInfo& sel) {
    for (std::size_t i = 0; i < from.wavSmplLoops.size(); ++i) {
        WavLoopRecord loop = from.wavSmplLoops[i];
        if (i == 0) {
            if (loopInside) sel.wavSmplLoops.push_back(loop);  // positions from the loop
            continue;
        }
        if (loop.start < s || loop.end >= e || loop.end < loop.start) continue;
        loop.start -= s;
        loop.end -= s;
        sel.wavSmplLoops.push_back(loop);
    }
    for (WavCuePoint cue : from.wavCuePoints) {
        if (!CueInside(cue, s, e)) continue;
        const bool positionUsed = !(cue.position == 0 && cue.sampleOffset != 0);
        const bool offsetUsed = !(cue.sampleOffset == 0 && cue.position != 0);
        if (positionUsed) cue.position -= s;
        if (offsetUsed) cue.sampleOffset -= s;
        sel.wavCuePoints.push_back(cue);
    }
}

// The AIFF markers inside s .. e (the ends included: markers lie between frames), moved, but
// not the two of the sustain loop: the document's loop takes their place when it is inside.
std::vector<AiffMarker> KeptAiffMarkers(const SoundInfo& from, std::uint32_t s, std::uint32_t e) {
    std::uint16_t beginId = 0, endId = 0;
    if (from.aiffHasInst) {
        const aiff::InstLoop sustain = aiff::SustainLoopOf(from.aiffInstBody);
        beginId = sustain.beginId;
        endId = sustain.endId;
    }
    std::vector<AiffMarker> kept;
    for (AiffMarker m : ParseMarkBody(from.aiffMarkBody)) {
        if (m.id == beginId || m.id == endId || m.position < s || m.position > e) continue;
        m.position -= s;
        kept.push_back(std::move(m));
    }
    return kept;
}

// The sound the new file holds: the selected frames and channels, with the loop and the
// other loops, cue points and markers that lie inside the selection.
SoundInfo SelectionSound(const COLMDoc& doc) {
    const SoundInfo& from = doc.Info();
    const std::uint32_t s = doc.selectionStart, e = doc.selectionEnd;
    SoundInfo sel;
    sel.fileType = from.fileType;
    sel.channels = static_cast<std::uint16_t>(from.channelEnd - from.channelFirst);
    sel.bitsPerSample = from.bitsPerSample;
    sel.sampleRate = from.sampleRate;
    sel.frames = e - s;
    sel.instrument = from.instrument;
    const bool loopInside = from.loopStart < from.loopEnd && s <= from.loopStart && from.loopEnd <= e;
    if (loopInside) {
        sel.loopStart = from.loopStart - s;
        sel.loopEnd = from.loopEnd - s;
        sel.loopOn = from.loopOn;
    }
    if (from.fileType == FileType::Wav) KeepWavMarkers(from, s, e, loopInside, sel);
    UpdateDerivedFormat(sel);
    return sel;
}

// The AIFF header: the marker template as ever, unless markers other than the loop's are kept.
std::uint32_t WriteAiffHeader(platform::File& target, const SoundInfo& from, const SoundInfo& sel,
                              std::uint32_t s, std::uint32_t e) {
    const std::vector<AiffMarker> kept = KeptAiffMarkers(from, s, e);
    const aiff::TemplateFields fields = aiff::FieldsOf(sel);
    if (kept.empty()) {
        const aiff::HeaderImage header = aiff::FillTemplate(aiff::HeaderTemplate::WithMarkers, fields);
        if (!target.WriteAt(0, header.data(), header.size())) throw Error(StringId::FileCreatingError);
        return static_cast<std::uint32_t>(aiff::kTemplateBytes);
    }
    aiff::LoopMarkerSet markers(kept);
    aiff::InstLoop sustain;
    if (sel.loopStart != sel.loopEnd) {
        sustain.playMode = sel.loopOn ? 1 : 0;
        sustain.beginId = markers.FindOrAdd(sel.loopStart, aiff::kTemplateBeginName);
        sustain.endId = markers.FindOrAdd(sel.loopEnd, aiff::kLoopEndName);
    }
    return static_cast<std::uint32_t>(aiff::WriteMarkedHeader(target, fields, markers.Markers(), sustain));
}

}  // namespace

std::string SelectionToNew(COLMDoc& doc) {
    const SoundInfo& info = doc.Info();
    SoundInfo sel = SelectionSound(doc);
    const std::string& workDir = doc.Host().WorkDir();
    if (InsufficientSpaceOnWorkingDrive(workDir, DataBytes(sel) + 1024))
        throw Error(StringId::EmptyDiskSpace);
    const bool wav = info.fileType == FileType::Wav;
    auto name = UniqueTempName(workDir, kNewPrefix, wav ? ".WAV" : ".AIF");
    if (!name) throw Error(StringId::FileCreatingError);
    const InFlightFile inFlight(*name);
    try {
        platform::File target;
        if (!target.Open(*name, platform::OpenMode::ReadWrite)) throw Error(StringId::FileCreatingError);
        if (wav) {
            sel.dataOffset = wav::WriteNewHeader(target, sel, 0);
        } else {
            sel.dataOffset = WriteAiffHeader(target, info, sel, doc.selectionStart, doc.selectionEnd);
        }
        const platform::File working = doc.OpenWorkingFile(false);
        GatherFrames(working, LayoutOf(info), {info.channelFirst, info.channelEnd}, doc.selectionStart,
                     sel.frames, target, sel.dataOffset);
        target.Close();
        UpdateDerivedFormat(sel);
        sel.workingFileLength = static_cast<std::uint32_t>(sel.dataEnd);
        RefreshHeaderOf(*name, sel);
    } catch (...) {
        RemoveTemporary(*name);
        throw;
    }
    return *name;
}

}  // namespace pelmora
