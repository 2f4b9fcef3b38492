#include "platform/Spreadsheet.h"

#include <stdexcept>

namespace culvex {

namespace {

// This build has no spreadsheet application to drive: it is never present.
class AbsentSpreadsheet final : public Spreadsheet {
public:
    std::unique_ptr<SpreadsheetApplication> createApplication() override {
        throw std::runtime_error("This build of the program cannot drive a spreadsheet");
    }
};

}  // namespace

std::unique_ptr<Spreadsheet> makeSpreadsheet() { return std::make_unique<AbsentSpreadsheet>(); }

}  // namespace culvex
