#pragma once

#include <QString>

namespace culvex {

// The extraction settings panel as the extraction run reads it. The panel's controls are
// the only copy of the settings; the main window implements this over them.
class ExtractionControls {
public:
    virtual ~ExtractionControls() = default;
    // The value of Check1: 1 checked, anything else unchecked.
    virtual int check1Value() const = 0;
    // Whether OptionN is selected, for N in 1..4 and 7..11.
    virtual bool isOptionSelected(int option) const = 0;
    // The text of TextN, for N in 1..5.
    virtual QString text(int box) const = 0;
};

}  // namespace culvex
