#pragma once

#include "extract/ExtractionControls.h"
#include "extract/LineSettings.h"

namespace culvex {

// The per-line settings as the panel holds them now. A run takes them when a file
// starts, so a change made while the run yields applies from the next file on.
LineSettings snapshotLineSettings(const ExtractionControls& controls);

}  // namespace culvex
