#include "platform/LibreOfficeCells.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/beans/XPropertyState.hpp>
#include <com/sun/star/document/XActionLockable.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/util/XReplaceDescriptor.hpp>
#include <com/sun/star/util/XReplaceable.hpp>

#include <algorithm>

namespace culvex {

namespace uno = css::uno;
using uno::Reference;
using uno::UNO_QUERY_THROW;
using Cell = LibreOfficeWorkbook::Cell;
using Cells = std::vector<Cell>;

namespace {

// Rows per transfer. Calc's replace slows down more than in proportion to the size of the
// range it works on (the 100,000-row benchmark: 65,536 rows 4.6 s, 4,096 rows 2.7 s), and
// small blocks also bound the memory of one request on both sides.
constexpr int kBlockRows = 4096;

// Keeps the document from repainting and adjusting row heights while the cells go in.
// Unlocking on the way out of a failure cannot report anything.
class DocumentLock {
public:
    explicit DocumentLock(const Reference<css::lang::XComponent>& document)
        : model_(document, UNO_QUERY_THROW), actions_(document, UNO_QUERY_THROW) {
        model_->lockControllers();
        actions_->addActionLock();
    }
    DocumentLock(const DocumentLock&) = delete;
    DocumentLock& operator=(const DocumentLock&) = delete;
    ~DocumentLock() {
        try {
            actions_->removeActionLock();
            model_->unlockControllers();
        } catch (...) {
        }
    }

private:
    Reference<css::frame::XModel> model_;
    Reference<css::document::XActionLockable> actions_;
};

// The program's own work is not the user's to undo: undoing the transfer step by step would
// turn the numbers back into text. The document is new, so its undo list held nothing else.
void clearUndo(const Reference<css::lang::XComponent>& document) {
    Reference<css::document::XUndoManagerSupplier>(document, UNO_QUERY_THROW)
        ->getUndoManager()
        ->clear();
}

rtl::OUString toOUString(const QString& text) {
    return {reinterpret_cast<const sal_Unicode*>(text.utf16()),
            static_cast<sal_Int32>(text.size())};
}

// Enters every non-empty text of the range again as typed input. The plain-text transfer
// marked number-like texts with the text format, which would keep them text: the format
// goes back to the default first. "^[\s\S]+$" matches every text whole, line breaks included, and
// "&" puts it back.
void retypeTexts(const Reference<css::table::XCellRange>& range) {
    Reference<css::beans::XPropertyState>(range, UNO_QUERY_THROW)
        ->setPropertyToDefault("NumberFormat");
    const Reference<css::util::XReplaceable> replaceable(range, UNO_QUERY_THROW);
    const Reference<css::util::XReplaceDescriptor> replace = replaceable->createReplaceDescriptor();
    replace->setSearchString("^[\\s\\S]+$");
    replace->setReplaceString("&");
    Reference<css::beans::XPropertySet>(replace, UNO_QUERY_THROW)
        ->setPropertyValue("SearchRegularExpression", uno::Any(true));
    replaceable->replaceAll(Reference<css::util::XSearchDescriptor>(replace, UNO_QUERY_THROW));
}

// Calc's replace keeps a carriage return that typing drops: such texts are typed one by one.
bool typedOneByOne(const QString& text) { return text.contains(u'\r'); }

void typeInto(const Reference<css::sheet::XSpreadsheet>& sheet, const Cell& cell) {
    Reference<css::beans::XPropertySet>(sheet->getCellByPosition(cell.column - 1, cell.row - 1),
                                        UNO_QUERY_THROW)
        ->setPropertyValue("FormulaLocal", uno::Any(toOUString(cell.text)));
}

// One column, rows top to bottom (at most kBlockRows apart); rows in between stay empty
// and a later text for the same cell wins.
void enterBlock(const Reference<css::sheet::XSpreadsheet>& sheet, Cells::const_iterator first,
                Cells::const_iterator last) {
    const int column = first->column;
    const int top = first->row;
    const int bottom = std::prev(last)->row;
    uno::Sequence<uno::Sequence<uno::Any>> rows(bottom - top + 1);
    auto* row = rows.getArray();
    const uno::Any empty(rtl::OUString{});
    for (int i = 0; i < rows.getLength(); ++i) {
        row[i] = uno::Sequence<uno::Any>(&empty, 1);
    }
    for (auto cell = first; cell != last; ++cell) {
        row[cell->row - top].getArray()[0] <<=
            typedOneByOne(cell->text) ? rtl::OUString{} : toOUString(cell->text);
    }
    const Reference<css::table::XCellRange> range =
        sheet->getCellRangeByPosition(column - 1, top - 1, column - 1, bottom - 1);
    Reference<css::sheet::XCellRangeData>(range, UNO_QUERY_THROW)->setDataArray(rows);
    retypeTexts(range);
    for (auto cell = first; cell != last; ++cell) {
        if (typedOneByOne(cell->text)) {
            typeInto(sheet, *cell);
        }
    }
}

}  // namespace

void enterCells(const Reference<css::lang::XComponent>& document,
                const Reference<css::sheet::XSpreadsheet>& sheet, Cells cells) {
    if (cells.empty()) {
        return;
    }
    std::stable_sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) {
        return a.column != b.column ? a.column < b.column : a.row < b.row;
    });
    {
        const DocumentLock lock(document);
        for (auto first = cells.cbegin(); first != cells.cend();) {
            const auto last = std::find_if(first, cells.cend(), [&](const Cell& cell) {
                return cell.column != first->column || cell.row - first->row >= kBlockRows;
            });
            enterBlock(sheet, first, last);
            first = last;
        }
    }
    clearUndo(document);
}

void fitColumns(const Reference<css::lang::XComponent>& document,
                const Reference<css::sheet::XSpreadsheet>& sheet) {
    const Reference<css::table::XTableColumns> columns =
        Reference<css::table::XColumnRowRange>(sheet, UNO_QUERY_THROW)->getColumns();
    Reference<css::beans::XPropertySet>(columns, UNO_QUERY_THROW)
        ->setPropertyValue("OptimalWidth", uno::Any(true));
    clearUndo(document);
}

}  // namespace culvex
