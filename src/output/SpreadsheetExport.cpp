#include "output/SpreadsheetExport.h"

#include "command/PlainMessage.h"
#include "command/ProtectedProcedure.h"
#include "output/DecodedText.h"

#include <optional>
#include <stdexcept>

namespace culvex {

namespace {

// The results list's columns as the export sees them: one, "Results", holding each row's
// text.
constexpr int kListColumns = 1;

QString headerText(const ResultsModel& results, int column) {
    return results.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

// The value of row `row` (from 0); a row removed while the command yielded is a failure.
QString valueAt(const ResultsStore& rows, std::size_t row, TextEncoding encoding) {
    if (row >= rows.size()) {
        throw std::out_of_range("The row no longer exists in the results list");
    }
    return rowText(rows.row(row), encoding);
}

// The application's objects, which the interface allows to be missing.
template <class T>
std::unique_ptr<T> required(std::unique_ptr<T> object) {
    if (!object) {
        throw std::runtime_error("The spreadsheet application gave no object");
    }
    return object;
}

QString sheetFullText(std::size_t written, std::size_t total) {
    return QStringLiteral(
               "The sheet is full: only the first %1 of the %2 result rows were "
               "written to it.")
        .arg(written)
        .arg(total);
}

void writeHeader(ProtectedProcedure& proc, const ResultsModel& results, SpreadsheetWorkbook& book,
                 Yielder& yielder) {
    int column = 1;
    for (int c = 0; c < kListColumns; ++c) {
        yielder.yield();
        if (proc.test(124,
                      [&] { return !valueAt(results.store(), 0, results.encoding()).isEmpty(); })) {
            proc.step(126, [&] { book.setCell(1, column, headerText(results, c)); });
            proc.step(128, [&] { ++column; });
        }
    }
}

// List row k goes to sheet row k + 1; an empty value leaves its cell empty. Rows that do
// not fit on the sheet are not written: the user is told once how many were. When the
// user stops the export, the number of rows sent until then.
std::optional<std::size_t> writeRows(ProtectedProcedure& proc, const ResultsModel& results,
                                     SpreadsheetWorkbook& book, int sheetRows,
                                     const CommandContext& context) {
    const ResultsStore& rows = results.store();
    Yielder& yielder = context.yielder;
    int sheetRow = 2;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const auto sent = static_cast<std::int64_t>(k);
        if (stopAtYield(yielder, context.progress, sent, static_cast<std::int64_t>(rows.size()),
                        sent)) {
            return k;
        }
        if (sheetRow > sheetRows) {
            showPlainMessage(proc.dialogs(), sheetFullText(k, rows.size()));
            return std::nullopt;
        }
        int column = 1;
        for (int c = 0; c < kListColumns; ++c) {
            yielder.yield();
            QString value;
            if (proc.test(154, [&] {
                    value = valueAt(rows, k, results.encoding());
                    return !value.isEmpty();
                })) {
                proc.step(156, [&] { book.setCell(sheetRow, column, value); });
                proc.step(158, [&] { ++column; });
            }
        }
        ++sheetRow;
    }
    return std::nullopt;
}

// Steps 112 to 174: a new workbook with the header and the rows, its columns fitted, shown
// to the user. When the user stops the export, the number of rows sent until then.
std::optional<std::size_t> sendResults(ProtectedProcedure& proc, const ResultsModel& results,
                                       Spreadsheet& spreadsheet, const CommandContext& context) {
    const ProgressScope progress(context.progress,
                                 QStringLiteral("Sending results to the spreadsheet"),
                                 CommandProgress::Counted::Rows);
    std::unique_ptr<SpreadsheetApplication> application;
    std::unique_ptr<SpreadsheetWorkbook> book;
    if (!proc.step(112, [&] { application = required(spreadsheet.createApplication()); }) ||
        !proc.step(114, [&] { book = required(application->addWorkbook()); })) {
        return std::nullopt;
    }
    writeHeader(proc, results, *book, context.yielder);
    const std::optional<std::size_t> stoppedAfter =
        writeRows(proc, results, *book, book->maxRows(), context);
    proc.step(172, [&] { book->autoFitColumns(); });
    proc.step(174, [&] { application->makeVisible(); });
    return stoppedAfter;
}

}  // namespace

bool SaveResultsAsExcelFileIsExcelInstalled(Spreadsheet& spreadsheet, Dialogs& dialogs) {
    try {
        required(spreadsheet.createApplication());
        return true;
    } catch (const SpreadsheetTimeout&) {
        // The application is there but does not answer: "not installed" would send the
        // user looking in the wrong place, so the caller's step reports it.
        throw;
    } catch (...) {
        showPlainMessage(dialogs,
                         QStringLiteral("Excel is not installed on this computer. You need to "
                                        "have it installed to use this software without error."));
        return false;
    }
}

void exportToSpreadsheet(const ResultsModel& results, Spreadsheet& spreadsheet,
                         const CommandContext& context) {
    ProtectedProcedure proc(context.dialogs, formLocation(QStringLiteral("PushButton5_Click")));
    if (proc.test(106, [&] {
            return !SaveResultsAsExcelFileIsExcelInstalled(spreadsheet, context.dialogs);
        })) {
        proc.step(178, [&] {
            showPlainMessage(context.dialogs,
                             QStringLiteral("Excel is not installed on this computer. "
                                            "You need to have it installed to use this "
                                            "feature."));
        });
        return;
    }
    if (proc.test(108, [&] { return results.store().empty(); })) {
        return;
    }
    proc.step(110, [&] { context.pointer.setPointer(PointerState::Busy); });
    const std::optional<std::size_t> stoppedAfter =
        sendResults(proc, results, spreadsheet, context);
    proc.step(176, [&] {
        context.pointer.setPointer(PointerState::Default);
        if (stoppedAfter) {
            showPlainMessage(context.dialogs,
                             stoppedAfterRows(static_cast<std::int64_t>(*stoppedAfter)));
        }
    });
}

}  // namespace culvex
