#pragma once

#include "platform/LibreOfficeSpreadsheet.h"

#include <map>
#include <set>

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

// Texts of some columns whose optimal width is theirs, by column (from 1), for columns whose
// every cell went in through the text import: each text of the column once, except that of
// the integers, and of the ASCII texts in text cells, that differ only in their digits 2 to 9
// one stands for all.
struct ColumnSamples {
    std::map<int, std::vector<QString>> texts;
    // A text stands for others: the samples give the columns' widths only where every digit
    // 2 to 9 is shown equally wide.
    bool digitsMerged = false;
    // The characters next to a digit 2 to 9 in texts that stand for others.
    std::set<char16_t> digitNeighbours;
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
//
// Returns the samples of the long columns that hold few distinct texts: equal texts imported
// alike are equal cells of equal width, so such a column is as wide as its distinct texts.
// Integers of up to 15 digits are shown with all their digits, and text cells as they are:
// where the digits 2 to 9 are equally wide, integers with the same sign and the zeros and
// ones in the same places are too, and so are text cells of ASCII text that differ only in
// their digits 2 to 9. Which imported cells hold text the office tells once they are in.
ColumnSamples enterCells(const OfficeConnection& office, SheetTransfer& transfer);

// Gives every column of the sheet its optimal width, which is not left to undo either. A
// sampled column takes the optimal width of its samples, imported alike into a scratch
// document, unless the document's cells would look different there (its default cell style
// differs, or it shows formulas) or, where a text stood for others, the digits 2 to 9 are
// not all equally wide there: next to each other, next to 0 and 1, after a minus and next
// to each character that is next to them in the texts that stood for others.
void fitColumns(const OfficeConnection& office,
                const css::uno::Reference<css::lang::XComponent>& document,
                const css::uno::Reference<css::sheet::XSpreadsheet>& sheet,
                const ColumnSamples& samples);

}  // namespace culvex
