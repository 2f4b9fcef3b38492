#pragma once

#include "engine/TextEncoding.h"

#include <QString>

namespace culvex {

// Which separator splits a line into columns; None when no choice is selected.
enum class SeparatorChoice { None, Space, CommaSpace, Comma, Tab, Typed };

// The extraction settings panel's choices, by what they mean.
struct ExtractionSettings {
    bool rangeOn = false;  // a range of columns instead of every column
    bool startByNumber = false;
    bool startByMarker = false;
    bool endByNumber = false;
    bool endByMarker = false;
    QString startNumber;
    QString startMarker;
    QString endNumber;
    QString endMarker;
    SeparatorChoice separator = SeparatorChoice::None;
    QString typedSeparator;
    TextEncoding encoding = TextEncoding::Auto;  // how lines are read for typed text
};

// The extraction settings panel as the extraction run reads it. The panel's controls are
// the only copy of the settings; the main window implements this over them. A run asks
// again at each point where it reads them, so a change made while it yields applies from
// the next file on.
class ExtractionControls {
public:
    virtual ~ExtractionControls() = default;
    virtual ExtractionSettings extractionSettings() const = 0;
};

}  // namespace culvex
