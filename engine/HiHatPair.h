#pragma once
// The open and the closed hi-hat over a run when both sound: the one loop the engine's pairs
// use, but with both drive stages side by side in the lanes of one register where the
// processor has AVX-512 (their stages have the same shape and take the same junction).

#include "engine/ClosedHiHatVoice.h"
#include "engine/OpenHiHatVoice.h"
#include "engine/SharedSignals.h"

namespace vorlatek {

// `frames` steps of each hat at its levels, before the output FIRs, into its out[]; the same
// samples as their steps one after the other.
void stepSideBySide(OpenHiHatVoice& open, ClosedHiHatVoice& closed, const SharedSignals* in, const double* levelOpen,
                    const double* levelClosed, double* outOpen, double* outClosed, int frames);

}  // namespace vorlatek
