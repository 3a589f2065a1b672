#pragma once
// The Save As file dialog: the document's own type offered first, and a name typed without an
// extension gets the one of the chosen type. Overwriting is confirmed by the document itself.

#include <optional>
#include <string>

class QWidget;

namespace pelmora {

class COLMDoc;

std::optional<std::string> ChooseSaveAsPath(QWidget* parent, const COLMDoc& doc);

}  // namespace pelmora
