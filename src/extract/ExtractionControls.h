#pragma once

#include "choices/ExtractionChoices.h"

namespace culvex {

// The extraction settings panel as the extraction run reads it. The panel's controls are
// the only copy of the settings; the main window implements this over them. A run asks
// again at each point where it reads them, so a change made while it yields applies from
// the next file on.
class ExtractionControls {
public:
    virtual ~ExtractionControls() = default;
    virtual ExtractionChoices extractionSettings() const = 0;
};

}  // namespace culvex
