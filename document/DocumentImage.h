#pragma once
// What the document asks of its waveform image, which lives in a layer above the document: the
// application attaches one to every document it opens. The image follows the frames through the
// observer calls; the lifecycle steps below are the document's own.

#include <cstdint>
#include <optional>
#include <string>

#include "document/DocumentObserver.h"
#include "sound/SoundInfo.h"

namespace pelmora {

class DocumentImage : public DocumentObserver {
public:
    // Open and Revert: the working file was read anew; take its stored block when it is still
    // valid, otherwise make a quick image of the whole sound.
    virtual void FileOpened() = 0;
    // Bytes the stored block adds to a saved file; 0 when no block will be stored.
    virtual std::uint64_t StoredBlockBytes() = 0;
    // Stores the block into the sound file at `path`, whose type and layout `info` describes
    // (and follows when chunks move). The block's time stamp, which the caller gives the file
    // as its modification time once the file is in place; nullopt when nothing was stored.
    virtual std::optional<std::int64_t> StoreBlock(const std::string& path, SoundInfo& info) = 0;
    // The image's own file in the working directory, when it keeps one.
    virtual std::uint64_t WorkingFileBytes() const = 0;
    virtual void MoveWorkingFile(const std::string& workDir) = 0;
    virtual std::string WorkingFilePath() const { return {}; }
    // Destruction frees the image and deletes its working file.
};

}  // namespace pelmora
