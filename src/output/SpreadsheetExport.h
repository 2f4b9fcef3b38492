#pragma once

#include "command/CommandContext.h"
#include "output/ResultsModel.h"
#include "platform/Dialogs.h"
#include "platform/Spreadsheet.h"

namespace culvex {

// "Save Results As Excel File": opens the results in a new workbook of the spreadsheet
// application, header "Results" in A1 (only when the first row is not empty) and list row
// k in sheet row k + 1 of column A, fits the columns and shows the application. Nothing is
// saved: the workbook is left to the user. A stop ends the sending of rows: the workbook
// shows the rows sent so far, and the user is told how many.
void exportToSpreadsheet(const ResultsModel& results, Spreadsheet& spreadsheet,
                         const CommandContext& context);

// True when the spreadsheet application can be started; otherwise tells the user so and
// returns false. The application started for the test is released at once. An application
// that does not answer in time is not absent: its SpreadsheetTimeout reaches the caller.
bool SaveResultsAsExcelFileIsExcelInstalled(Spreadsheet& spreadsheet, Dialogs& dialogs);

}  // namespace culvex
