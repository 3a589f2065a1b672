#pragma once

#include <string>

#include "base/ProgressTask.h"
#include "sound/SoundInfo.h"

namespace pelmora {

// Rewrites an AIFF working file so that its sample data starts where 512-byte sectors hold
// whole frames: the bytes before the SSND chunk are kept, a pad chunk and a new SSND header
// follow, then the data and the chunks after it. The new file, built in the working directory,
// replaces the working file in one step. ESC raises Cancelled and leaves the working file as it
// was.
void RewriteHeaderForHdPlay(const std::string& workingPath, SoundInfo& info,
                            const std::string& workDir, ProgressTask& progress);

}  // namespace pelmora
