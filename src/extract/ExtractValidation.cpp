#include "extract/ExtractValidation.h"

#include "command/PlainMessage.h"
#include "command/TypedNumbers.h"

namespace culvex {
namespace {

// Shows a validation message; the check it ends has failed.
bool refuse(ProtectedProcedure& proc, int label, const char* text) {
    proc.step(label, [&] { showPlainMessage(proc.dialogs(), QString::fromUtf8(text)); });
    return false;
}

bool checkStartAndEndNumbers(ProtectedProcedure& proc, const ExtractionSettings& panel) {
    if (proc.test(112, [&] { return panel.startNumber.isEmpty(); })) {
        return refuse(proc, 114, "You forgot to input the start position.");
    }
    if (!proc.test(120, [&] { return panel.endByNumber; })) {
        return true;
    }
    if (proc.test(120, [&] { return panel.endNumber.isEmpty(); })) {
        return refuse(proc, 120, "You forgot to input the end position.");
    }
    // A number that cannot be converted is reported here and then refused like an end
    // before the start.
    if (proc.test(122, [&] {
            return toWholeNumber32(panel.endNumber) < toWholeNumber32(panel.startNumber);
        })) {
        return refuse(proc, 124, "End position must be greater than start position.");
    }
    return true;
}

bool checkStart(ProtectedProcedure& proc, const ExtractionSettings& panel) {
    if (proc.test(110, [&] { return panel.startByNumber; }) &&
        !checkStartAndEndNumbers(proc, panel)) {
        return false;
    }
    if (proc.test(128, [&] { return panel.startByMarker; }) &&
        proc.test(130, [&] { return panel.startMarker.isEmpty(); })) {
        return refuse(proc, 132, "You forgot to input the start character.");
    }
    return true;
}

bool checkEnd(ProtectedProcedure& proc, const ExtractionSettings& panel) {
    if (proc.test(138, [&] { return panel.endByNumber; }) &&
        proc.test(140, [&] { return panel.endNumber.isEmpty(); })) {
        return refuse(proc, 142, "You forgot to input the end position.");
    }
    if (proc.test(146, [&] { return panel.endByMarker; }) &&
        proc.test(148, [&] { return panel.endMarker.isEmpty(); })) {
        return refuse(proc, 150, "You forgot to input the end character.");
    }
    return true;
}

}  // namespace

bool validateExtraction(ProtectedProcedure& proc, const ExtractionSettings& panel) {
    if (!proc.test(108, [&] { return panel.rangeOn; })) {
        return true;
    }
    return checkStart(proc, panel) && checkEnd(proc, panel);
}

}  // namespace culvex
