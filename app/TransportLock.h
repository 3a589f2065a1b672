#pragma once
// Which commands the frame refuses while a sound plays or records: everything that touches files
// or documents, the edits and the window commands. The transport, the view and the toolbars stay.

#include "app/CommandId.h"

namespace pelmora {

bool RefusedWhileSoundRuns(CommandId id);

}  // namespace pelmora
