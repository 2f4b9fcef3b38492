#pragma once

#include "choices/ExtractionChoices.h"
#include "command/ProtectedProcedure.h"

namespace culvex {

// Checks the start and end settings before an extraction run (only when Check1 is
// checked). The first check that fails shows its message; returns whether all passed.
bool validateExtraction(ProtectedProcedure& proc, const ExtractionChoices& panel);

}  // namespace culvex
