#include <vector>

#include "base/Error.h"
#include "document/SoundFileIo.h"
#include "document/TempFiles.h"
#include "edit/ClipboardOps.h"
#include "sound/AiffTemplates.h"
#include "sound/FrameTransfer.h"
#include "sound/WavWriter.h"

namespace pelmora {

namespace {

// The sound the new file holds: the selected frames and channels, no loop.
SoundInfo SelectionSound(const COLMDoc& doc) {
    const SoundInfo& from = doc.Info();
    SoundInfo sel;
    sel.fileType = from.fileType;
    sel.channels = static_cast<std::uint16_t>(from.channelEnd - from.channelFirst);
    sel.bitsPerSample = from.bitsPerSample;
    sel.sampleRate = from.sampleRate;
    sel.frames = doc.selectionEnd - doc.selectionStart;
    sel.instrument = from.instrument;
    UpdateDerivedFormat(sel);
    return sel;
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
    try {
        platform::File target;
        if (!target.Open(*name, platform::OpenMode::ReadWrite)) throw Error(StringId::FileCreatingError);
        if (wav) {
            sel.dataOffset = wav::WriteNewHeader(target, sel, 0);
        } else {
            const aiff::HeaderImage header =
                aiff::FillTemplate(aiff::HeaderTemplate::WithMarkers, aiff::FieldsOf(sel));
            if (!target.WriteAt(0, header.data(), header.size())) throw Error(StringId::FileCreatingError);
            sel.dataOffset = static_cast<std::uint32_t>(aiff::kTemplateBytes);
        }
        const platform::File working = doc.OpenWorkingFile(false);
        GatherFrames(working, LayoutOf(info), {info.channelFirst, info.channelEnd}, doc.selectionStart,
                     sel.frames, target, sel.dataOffset);
        target.Close();
        UpdateDerivedFormat(sel);
        sel.workingFileLength = static_cast<std::uint32_t>(sel.dataEnd);
        RefreshHeaderOf(*name, sel);
    } catch (...) {
        platform::RemoveFile(*name);
        throw;
    }
    return *name;
}

}  // namespace pelmora
