#include "app/Mp3Documents.h"

#include "base/Error.h"
#include "mp3/Mp3Import.h"

namespace pelmora {

COLMDoc& ImportMp3(ApplicationState& app, const std::string& mp3Path) {
    if (app.AtDocumentLimit()) throw Error(StringId::NoMoreFiles);
    // Checked before decoding, so that an open import is neither decoded again nor overwritten.
    const std::string source = platform::CanonicalPath(mp3Path);
    for (const auto& doc : app.Documents()) {
        if (doc->MadeFromTempFile() && doc->importedFrom == source) {
            app.Activate(*doc);
            return *doc;
        }
    }
    // A song.mp3 from another folder gets a WAV name of its own.
    const auto taken = [&app](const std::string& path) {
        for (const auto& doc : app.Documents())
            if (doc->RefersTo(path)) return true;
        return false;
    };
    DecodedMp3 decoded = DecodeMp3File(mp3Path, app.WorkDir(), app.Progress(), taken);
    if (decoded.tag) app.lastImportedTag = *decoded.tag;
    COLMDoc& doc = app.OpenMadeFile(decoded.wavPath);
    if (decoded.tag) doc.tag = *decoded.tag;
    doc.importedFrom = source;
    return doc;
}

}  // namespace pelmora
