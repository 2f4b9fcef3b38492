#pragma once

#include "platform/Spreadsheet.h"

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <sys/types.h>
#include <chrono>
#include <set>
#include <vector>

namespace culvex {

// How long the office may take to answer a call before the call is abandoned and the
// office process this program started is ended.
struct OfficeTimeLimits {
    // Starting the office. A first start on a slow machine creates the user's profile and
    // reads the whole suite from a cold disk, which takes up to half a minute; twice that
    // tells a slow office from one that will never answer (one whose profile cannot be
    // written stops at its own error box).
    std::chrono::milliseconds start{60'000};
    // Any later call: a new document or showing it takes well under a second in a running
    // office, so half a minute is already generous.
    std::chrono::milliseconds call{30'000};
    // Added for every thousand cells that a call enters (Calc takes about 30 ms per
    // thousand here), so a full sheet of a million rows still gets over four minutes.
    std::chrono::milliseconds perThousandCells{250};
};

// A connection to a running office, and the office processes this program started for it
// (none when the connection reached an office that was already open).
struct OfficeConnection {
    css::uno::Reference<css::uno::XComponentContext> context;
    css::uno::Reference<css::frame::XDesktop2> desktop;
    std::set<pid_t> started;
};

// LibreOffice Calc driven through UNO. Starting soffice starts the office, or reaches the
// office the user already has open, so new documents appear among the user's own. The
// office is never terminated and the documents are left open and unsaved, unless the office
// stops answering: then the office process this program started is ended.
//
// Every call into the office blocks until the office answers, which takes from a
// millisecond to seconds (starting the office). Such calls run on a worker thread while
// the calling thread waits in a local Qt event loop, so the window keeps repainting and
// taking input, as it does when a long command yields. A call that outlasts its time limit
// is abandoned: its worker keeps what it works on alive by shared ownership and ends on
// its own, if ever.
//
// The connection to the office is kept for the next application, which saves starting a
// second soffice process to reach the running office; when the office has gone since, a new
// one is started.
class LibreOfficeSpreadsheet final : public Spreadsheet {
public:
    explicit LibreOfficeSpreadsheet(OfficeTimeLimits limits = {}) : limits_(limits) {}
    std::unique_ptr<SpreadsheetApplication> createApplication() override;

    // The connection the last application was created with (none before the first), for
    // reaching the same office again without a second connection.
    const std::shared_ptr<const OfficeConnection>& connection() const { return connection_; }

private:
    OfficeTimeLimits limits_;
    std::shared_ptr<const OfficeConnection> connection_;
};

// A new untitled Calc document, hidden until its application is made visible. Cells are
// gathered here and reach the document in one transfer when the columns are fitted or the
// document is shown, so a sheet of a million rows takes seconds instead of a million round
// trips to the office. The transfer enters every text as typed input; the first one may put
// a sheet of the same name in place of the document's sheet.
class LibreOfficeWorkbook final : public SpreadsheetWorkbook {
public:
    struct Cell {
        int row;
        int column;
        QString text;
    };
    struct Document {
        css::uno::Reference<css::lang::XComponent> component;
        css::uno::Reference<css::sheet::XSpreadsheet> sheet;
        std::vector<Cell> pending;
        // The sheet has been given cells.
        bool filled = false;
        int rows = 0;
        int columns = 0;
    };

    LibreOfficeWorkbook(std::shared_ptr<Document> document,
                        std::shared_ptr<const OfficeConnection> connection,
                        OfficeTimeLimits limits);

    int maxRows() const override { return document_->rows; }
    void setCell(int row, int column, const QString& text) override;
    void autoFitColumns() override;

    // The document's component and the sheet the cells go to, for reading it back.
    const css::uno::Reference<css::lang::XComponent>& component() const {
        return document_->component;
    }
    const css::uno::Reference<css::sheet::XSpreadsheet>& sheet() const { return document_->sheet; }

private:
    std::shared_ptr<Document> document_;
    std::shared_ptr<const OfficeConnection> connection_;
    OfficeTimeLimits limits_;
};

class LibreOfficeApplication final : public SpreadsheetApplication {
public:
    LibreOfficeApplication(std::shared_ptr<const OfficeConnection> connection,
                           OfficeTimeLimits limits);

    std::unique_ptr<SpreadsheetWorkbook> addWorkbook() override;
    void makeVisible() override;

private:
    std::shared_ptr<const OfficeConnection> connection_;
    OfficeTimeLimits limits_;
    std::vector<std::shared_ptr<LibreOfficeWorkbook::Document>> documents_;
};

}  // namespace culvex
