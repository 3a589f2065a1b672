#pragma once
// "Import From Sampler..." and "Export To Sampler..." at the application's level: the current
// instrument, the dialog (shown by whoever drives it), the transfer, and the imported document.

#include <functional>

#include "app/ApplicationState.h"
#include "sampler/SamplerDialogModel.h"

namespace pelmora {

// Shows the dialog for a filled model; true when it closed through OK with a result.
using SamplerDialogRunner = std::function<bool(smdi::SamplerDialogModel&)>;

// The commands' enabling: an instrument, no sound playing or recording, and for the import a
// free document place, for the export an open document.
bool ImportFromSamplerEnabled(const ApplicationState& app);
bool ExportToSamplerEnabled(const ApplicationState& app);

// The import command: null when it ended without a document (its messages were shown).
// Raises Error for file failures ("No more files can be opened." at the limit).
COLMDoc* ImportFromSampler(ApplicationState& app, const SamplerDialogRunner& run);
// The export command: true when the sound was sent.
bool ExportToSampler(ApplicationState& app, const SamplerDialogRunner& run);

}  // namespace pelmora
