#pragma once

#include "platform/LibreOfficeSpreadsheet.h"

namespace culvex {

// Enters the cells into the sheet as typed input, one column block at a time: the texts go
// in as plain text in one transfer, and Calc's own search-and-replace then enters every
// one of them again, in place, as if typed, which makes numbers, dates, percentages and
// formulas of them with the number formats that typing gives. The few texts that replace
// would enter differently (carriage returns) are typed one cell at a time. The document is
// locked meanwhile, and its undo list is emptied afterwards.
void enterCells(const css::uno::Reference<css::lang::XComponent>& document,
                const css::uno::Reference<css::sheet::XSpreadsheet>& sheet,
                std::vector<LibreOfficeWorkbook::Cell> cells);

// Gives every column of the sheet its optimal width, which is not left to undo either.
void fitColumns(const css::uno::Reference<css::lang::XComponent>& document,
                const css::uno::Reference<css::sheet::XSpreadsheet>& sheet);

}  // namespace culvex
