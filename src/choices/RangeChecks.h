#pragma once

#include "choices/ExtractionChoices.h"
#include "choices/TypedNumbers.h"

#include <optional>
#include <string>
#include <string_view>

namespace culvex {

// The checks of the start and end settings that a run makes before it reads a file, in
// the order they are made.
enum class RangeCheck {
    StartNumberGiven,        // start by number: a start number is typed
    EndNumberGivenForStart,  // start and end by number: an end number is typed
    EndNotBeforeStart,       // start and end by number: the end is not before the start
    StartMarkerGiven,        // start by marker: a marker is typed
    EndNumberGiven,          // end by number: an end number is typed
    EndMarkerGiven,          // end by marker: a marker is typed
};

// The first check that failed, with its message. A start or end number that cannot be
// compared fails EndNotBeforeStart, with the reason in `conversionFailure`.
struct RangeProblem {
    RangeCheck check;
    std::string_view message;
    std::optional<std::string> conversionFailure;
};

// Nothing when the range is off or every check passes.
std::optional<RangeProblem> rangeProblem(const ExtractionChoices& choices,
                                         const NumberFormat& user);

}  // namespace culvex
