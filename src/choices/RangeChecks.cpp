#include "choices/RangeChecks.h"

#include <cstdint>
#include <stdexcept>

namespace culvex {
namespace {

constexpr std::string_view kNoStart = "You forgot to input the start position.";
constexpr std::string_view kNoEnd = "You forgot to input the end position.";
constexpr std::string_view kEndBeforeStart = "End position must be greater than start position.";
constexpr std::string_view kNoStartMarker = "You forgot to input the start character.";
constexpr std::string_view kNoEndMarker = "You forgot to input the end character.";

// Start and end both by number.
std::optional<RangeProblem> numbersProblem(const ExtractionChoices& choices,
                                           const NumberFormat& user) {
    if (choices.endNumber.empty()) {
        return RangeProblem{RangeCheck::EndNumberGivenForStart, kNoEnd, std::nullopt};
    }
    try {
        const std::int32_t start = toWholeNumber32(choices.startNumber, user);
        if (toWholeNumber32(choices.endNumber, user) < start) {
            return RangeProblem{RangeCheck::EndNotBeforeStart, kEndBeforeStart, std::nullopt};
        }
    } catch (const std::exception& e) {
        return RangeProblem{RangeCheck::EndNotBeforeStart, kEndBeforeStart, e.what()};
    }
    return std::nullopt;
}

std::optional<RangeProblem> startProblem(const ExtractionChoices& choices,
                                         const NumberFormat& user) {
    if (choices.startByNumber) {
        if (choices.startNumber.empty()) {
            return RangeProblem{RangeCheck::StartNumberGiven, kNoStart, std::nullopt};
        }
        if (choices.endByNumber) {
            if (auto problem = numbersProblem(choices, user)) {
                return problem;
            }
        }
    }
    if (choices.startByMarker && choices.startMarker.empty()) {
        return RangeProblem{RangeCheck::StartMarkerGiven, kNoStartMarker, std::nullopt};
    }
    return std::nullopt;
}

}  // namespace

std::optional<RangeProblem> rangeProblem(const ExtractionChoices& choices,
                                         const NumberFormat& user) {
    if (!choices.rangeOn) {
        return std::nullopt;
    }
    if (auto problem = startProblem(choices, user)) {
        return problem;
    }
    if (choices.endByNumber && choices.endNumber.empty()) {
        return RangeProblem{RangeCheck::EndNumberGiven, kNoEnd, std::nullopt};
    }
    if (choices.endByMarker && choices.endMarker.empty()) {
        return RangeProblem{RangeCheck::EndMarkerGiven, kNoEndMarker, std::nullopt};
    }
    return std::nullopt;
}

}  // namespace culvex
