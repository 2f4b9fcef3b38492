#include "extract/ExtractValidation.h"

#include "choices/RangeChecks.h"
#include "command/PlainMessage.h"
#include "command/TypedNumbers.h"

#include <stdexcept>

namespace culvex {
namespace {

// The step that shows the message of each check.
int labelOf(RangeCheck check) {
    switch (check) {
        case RangeCheck::StartNumberGiven:
            return 114;
        case RangeCheck::EndNumberGivenForStart:
            return 120;
        case RangeCheck::EndNotBeforeStart:
            return 124;
        case RangeCheck::StartMarkerGiven:
            return 132;
        case RangeCheck::EndNumberGiven:
            return 142;
        case RangeCheck::EndMarkerGiven:
            return 150;
    }
    return 0;
}

}  // namespace

bool validateExtraction(ProtectedProcedure& proc, const ExtractionChoices& panel) {
    const std::optional<RangeProblem> problem = rangeProblem(panel, userNumberFormat());
    if (!problem) {
        return true;
    }
    // A number that cannot be converted is reported at the conversion and then refused
    // like an end before the start.
    if (problem->conversionFailure) {
        proc.report(std::make_exception_ptr(std::invalid_argument(*problem->conversionFailure)),
                    122);
    }
    proc.step(labelOf(problem->check), [&] {
        showPlainMessage(proc.dialogs(),
                         QString::fromUtf8(problem->message.data(),
                                           static_cast<qsizetype>(problem->message.size())));
    });
    return false;
}

}  // namespace culvex
