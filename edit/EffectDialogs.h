#pragma once
// The remembered values of the effect dialogs: one set per process, kept by the application
// and never written to the profile.

#include "edit/AmplitudeDialogModels.h"
#include "edit/CrossfadeDialogModel.h"
#include "edit/EqDialogModel.h"
#include "edit/GainDialogModel.h"
#include "edit/PitchDialogModel.h"
#include "edit/TimeDialogModel.h"

namespace pelmora {

struct EffectDialogs {
    GainDialogModel gain;
    NormalizeDialogModel normalize;
    DcOffsetDialogModel dcOffset;
    CrossfadeDialogModel crossfade;
    EqDialogModel eq;
    PitchDialogModel pitch;
    TimeDialogModel time;
};

}  // namespace pelmora
