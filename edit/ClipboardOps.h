#pragma once
// The clipboard commands of a document. Each returns false when it did nothing (an empty
// selection, a declined question); failures raise Error for the handler to show.

#include <string>

#include "document/COLMDoc.h"
#include "edit/Clip.h"

namespace pelmora {

bool Copy(COLMDoc& doc, Clip& clip);
bool Cut(COLMDoc& doc, Clip& clip);
bool Paste(COLMDoc& doc, const Clip& clip);
bool Insert(COLMDoc& doc, const Clip& clip);
bool Clear(COLMDoc& doc);
bool Trim(COLMDoc& doc);
// Mix: Paste's framing with the clip added to the document with saturation.
bool Mix(COLMDoc& doc, const Clip& clip);

// Writes the selected frames and channels as a new sound file of the document's type in the
// working directory ("OLM_NEW_..."), for the application to open as a new document.
std::string SelectionToNew(COLMDoc& doc);

}  // namespace pelmora
