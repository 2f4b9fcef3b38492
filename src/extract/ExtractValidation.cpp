#include "extract/ExtractValidation.h"

#include "command/PlainMessage.h"
#include "extract/WholeNumber.h"

namespace culvex {
namespace {

enum Control { kStartNumber = 1, kStartMarker = 2, kEndNumber = 3, kEndMarker = 4 };

// Shows a validation message; the check it ends has failed.
bool refuse(ProtectedProcedure& proc, int label, const char* text) {
    proc.step(label, [&] { showPlainMessage(proc.dialogs(), QString::fromUtf8(text)); });
    return false;
}

bool isEmpty(const ExtractionControls& controls, int box) { return controls.text(box).isEmpty(); }

bool checkStartAndEndNumbers(ProtectedProcedure& proc, const ExtractionControls& controls) {
    if (proc.test(112, [&] { return isEmpty(controls, kStartNumber); })) {
        return refuse(proc, 114, "You forgot to input the start position.");
    }
    if (!proc.test(120, [&] { return controls.isOptionSelected(kEndNumber); })) {
        return true;
    }
    if (proc.test(120, [&] { return isEmpty(controls, kEndNumber); })) {
        return refuse(proc, 120, "You forgot to input the end position.");
    }
    // A number that cannot be converted is reported here and then refused like an end
    // before the start.
    if (proc.test(122, [&] {
            return toWholeNumber32(controls.text(kEndNumber)) <
                   toWholeNumber32(controls.text(kStartNumber));
        })) {
        return refuse(proc, 124, "End position must be greater than start position.");
    }
    return true;
}

bool checkStart(ProtectedProcedure& proc, const ExtractionControls& controls) {
    if (proc.test(110, [&] { return controls.isOptionSelected(kStartNumber); }) &&
        !checkStartAndEndNumbers(proc, controls)) {
        return false;
    }
    if (proc.test(128, [&] { return controls.isOptionSelected(kStartMarker); }) &&
        proc.test(130, [&] { return isEmpty(controls, kStartMarker); })) {
        return refuse(proc, 132, "You forgot to input the start character.");
    }
    return true;
}

bool checkEnd(ProtectedProcedure& proc, const ExtractionControls& controls) {
    if (proc.test(138, [&] { return controls.isOptionSelected(kEndNumber); }) &&
        proc.test(140, [&] { return isEmpty(controls, kEndNumber); })) {
        return refuse(proc, 142, "You forgot to input the end position.");
    }
    if (proc.test(146, [&] { return controls.isOptionSelected(kEndMarker); }) &&
        proc.test(148, [&] { return isEmpty(controls, kEndMarker); })) {
        return refuse(proc, 150, "You forgot to input the end character.");
    }
    return true;
}

}  // namespace

bool validateExtraction(ProtectedProcedure& proc, const ExtractionControls& controls) {
    if (!proc.test(108, [&] { return controls.check1Value() == 1; })) {
        return true;
    }
    return checkStart(proc, controls) && checkEnd(proc, controls);
}

}  // namespace culvex
