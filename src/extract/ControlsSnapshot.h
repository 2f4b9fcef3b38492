#pragma once

#include "engine/LineSettings.h"
#include "extract/ExtractionControls.h"

namespace culvex {

// The per-line settings as the panel holds them now. A run takes them when a file
// starts, so a change made while the run yields applies from the next file on.
LineSettings snapshotLineSettings(const ExtractionSettings& panel);

}  // namespace culvex
