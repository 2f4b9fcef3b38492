#pragma once

#include "platform/LibreOfficeSpreadsheet.h"

namespace culvex {

// One document's share of a transfer, handed to the thread that talks to the office.
struct SheetTransfer {
    css::uno::Reference<css::lang::XComponent> document;
    // The sheet the cells go to; afterwards the sheet that holds them.
    css::uno::Reference<css::sheet::XSpreadsheet> sheet;
    // The sheet has never been given cells.
    bool fresh = false;
    std::vector<LibreOfficeWorkbook::Cell> cells;
};

// Enters the cells into the sheet as typed input. Into a fresh sheet the office's own text
// import does most of the work: the cells go to it as comma-separated text, it types each
// field as typing would, and its sheet then takes the place of the document's sheet,
// under the same name. Texts that the import would enter differently (formulas, a leading
// apostrophe, control characters), and every text of a sheet that already holds cells, go
// in as plain text, run of rows by run of rows or, where a block of rows holds many such
// runs, the whole block in one transfer; Calc's own search-and-replace then enters each of
// them again, in place, as if typed, except texts with a carriage return, which are typed
// one cell at a time. The document is locked meanwhile, and its undo list is emptied
// afterwards.
void enterCells(const OfficeConnection& office, SheetTransfer& transfer);

// Gives every column of the sheet its optimal width, which is not left to undo either.
void fitColumns(const css::uno::Reference<css::lang::XComponent>& document,
                const css::uno::Reference<css::sheet::XSpreadsheet>& sheet);

}  // namespace culvex
