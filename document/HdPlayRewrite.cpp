#include "document/HdPlayRewrite.h"

#include "base/Error.h"
#include "document/FileCopy.h"
#include "document/TempFiles.h"
#include "platform/File.h"
#include "sound/AiffChunks.h"
#include "sound/AiffUpdate.h"
#include "sound/AiffWriter.h"

namespace pelmora {

void RewriteHeaderForHdPlay(const std::string& workingPath, SoundInfo& info,
                            const std::string& workDir, ProgressTask& progress) {
    platform::File source;
    if (!source.Open(workingPath, platform::OpenMode::Read)) throw Error(StringId::FileReadError);
    const std::uint64_t length = aiff::LengthOf(source);
    std::uint32_t formSize = 0;
    if (!aiff::ReadFormHeader(source, formSize)) throw Error(StringId::FileReadError);
    const auto chunks = aiff::WalkChunks(source, aiff::ReaderListEnd(formSize, length), length);
    const auto ssnd = aiff::FindChunk(chunks, aiff::kSsnd);
    if (!ssnd || info.dataOffset > length) throw Error(StringId::FileReadError);

    auto temp = TempNameWithExtension(workDir, ExtensionCode(FileType::Aiff));
    if (!temp) throw Error(StringId::FileCreatingError);
    try {
        platform::File target;
        if (!target.Open(*temp, platform::OpenMode::ReadWrite)) throw Error(StringId::FileCreatingError);
        if (!platform::CopyFileRange(source, 0, target, 0, ssnd->position))
            throw Error(WriteFailure());
        const auto dataOffset =
            static_cast<std::uint32_t>(aiff::AlignDataStart(target, static_cast<std::uint32_t>(DataBytes(info))));
        CopyRangeWithProgress(source, info.dataOffset, target, dataOffset, length - info.dataOffset,
                              progress, StringId::RewritingAiffHeader, true);
        SoundInfo rewritten = info;
        rewritten.dataOffset = dataOffset;
        aiff::RefreshHeader(target, rewritten);
        if (!target.Sync()) throw Error(WriteFailure());
        target.Close();
        source.Close();
        RelocateFile(*temp, workingPath, StringId::RewritingAiffHeader, progress);
        info = rewritten;
    } catch (...) {
        platform::RemoveFile(*temp);
        throw;
    }
}

}  // namespace pelmora
