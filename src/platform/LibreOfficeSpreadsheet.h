#pragma once

#include "platform/Spreadsheet.h"

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <vector>

namespace culvex {

// LibreOffice Calc driven through UNO. cppu::bootstrap() starts soffice, or reaches the
// office the user already has open, so new documents appear among the user's own. The
// office is never terminated and the documents are left open and unsaved.
//
// Every call into the office blocks until the office answers, which takes from a
// millisecond to seconds (starting the office). Such calls run on a worker thread while
// the calling thread waits in a local Qt event loop, so the window keeps repainting and
// taking input, as it does when a long command yields.
//
// The connection to the office is kept for the next application, which saves starting a
// second soffice process to reach the running office; when the office has gone since, a new
// one is started.
class LibreOfficeSpreadsheet final : public Spreadsheet {
public:
    std::unique_ptr<SpreadsheetApplication> createApplication() override;

private:
    css::uno::Reference<css::uno::XComponentContext> context_;
    css::uno::Reference<css::frame::XDesktop2> desktop_;
};

// A new untitled Calc document, hidden until its application is made visible. Cells are
// gathered here and reach the document in one transfer per column when the columns are
// fitted or the document is shown, so a sheet of a million rows takes seconds instead of
// a million round trips to the office. The transfer enters every text as typed input.
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
        int rows = 0;
        int columns = 0;
    };

    explicit LibreOfficeWorkbook(std::shared_ptr<Document> document);

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
};

class LibreOfficeApplication final : public SpreadsheetApplication {
public:
    LibreOfficeApplication(css::uno::Reference<css::uno::XComponentContext> context,
                           css::uno::Reference<css::frame::XDesktop2> desktop);

    std::unique_ptr<SpreadsheetWorkbook> addWorkbook() override;
    void makeVisible() override;

private:
    css::uno::Reference<css::uno::XComponentContext> context_;
    css::uno::Reference<css::frame::XDesktop2> desktop_;
    std::vector<std::shared_ptr<LibreOfficeWorkbook::Document>> documents_;
};

}  // namespace culvex
