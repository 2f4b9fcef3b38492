#pragma once

#include <QString>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>

namespace culvex {

// A call that the spreadsheet application did not answer within its time limit. The call
// is abandoned and the application's process that this program started for it, if any, has
// been ended; `more` says what kept that from happening.
class SpreadsheetTimeout : public std::runtime_error {
public:
    explicit SpreadsheetTimeout(std::chrono::milliseconds limit, const std::string& more = {})
        : std::runtime_error("The spreadsheet did not answer within " + duration(limit) + "." +
                             (more.empty() ? "" : " " + more)) {}

private:
    static std::string duration(std::chrono::milliseconds limit) {
        const auto ms = limit.count();
        return ms % 1000 == 0 ? std::to_string(ms / 1000) + " seconds"
                              : std::to_string(ms) + " milliseconds";
    }
};

// A new workbook of the spreadsheet application. Rows and columns count from 1; the cells
// are those of the workbook's active sheet. Failures throw std::exception with the
// application's own wording.
class SpreadsheetWorkbook {
public:
    virtual ~SpreadsheetWorkbook() = default;
    // Rows a sheet holds.
    virtual int maxRows() const = 0;
    // Enters the text as if the user typed it into the cell: the application decides
    // whether it is a number, a date, a formula or text.
    virtual void setCell(int row, int column, const QString& text) = 0;
    // Fits the width of the sheet's columns to their contents.
    virtual void autoFitColumns() = 0;
};

// A running spreadsheet application, hidden until made visible. Releasing it never closes
// the application nor its workbooks: they stay open, unsaved, under the user's control.
class SpreadsheetApplication {
public:
    virtual ~SpreadsheetApplication() = default;
    virtual std::unique_ptr<SpreadsheetWorkbook> addWorkbook() = 0;
    // Shows the application with the workbooks added through this object.
    virtual void makeVisible() = 0;
};

// Starts spreadsheet applications. createApplication() throws when no spreadsheet
// application can be started; that is the presence test. Every call that waits for the
// application has a time limit, past which it throws SpreadsheetTimeout.
class Spreadsheet {
public:
    virtual ~Spreadsheet() = default;
    virtual std::unique_ptr<SpreadsheetApplication> createApplication() = 0;
};

// The spreadsheet application of this build: LibreOffice Calc when the build found its SDK,
// otherwise one that is never present.
std::unique_ptr<Spreadsheet> makeSpreadsheet();

}  // namespace culvex
