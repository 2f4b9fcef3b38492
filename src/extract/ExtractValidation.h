#pragma once

#include "command/ProtectedProcedure.h"
#include "extract/ExtractionControls.h"

namespace culvex {

// Checks the start and end settings before an extraction run (only when Check1 is
// checked). The first check that fails shows its message; returns whether all passed.
bool validateExtraction(ProtectedProcedure& proc, const ExtractionSettings& panel);

}  // namespace culvex
