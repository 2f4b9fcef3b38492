#include "platform/LibreOfficeCells.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/beans/XPropertyState.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/document/XActionLockable.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XLoadable.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/io/SequenceInputStream.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XSpreadsheets2.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XReplaceDescriptor.hpp>
#include <com/sun/star/util/XReplaceable.hpp>
#include <com/sun/star/view/XViewSettingsSupplier.hpp>

#include <QSet>
#include <algorithm>
#include <array>
#include <functional>
#include <future>
#include <optional>
#include <set>
#include <unordered_map>

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

// The text import cuts a field longer than this.
constexpr qsizetype kLongestImported = 65535;

// A block with more runs of rows than this that the text import cannot take goes in whole
// rather than run by run.
constexpr int kRunsPerBlock = 16;

bool controlCharacter(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7f && u <= 0x9f) || u == 0x2028 || u == 0x2029 || u == 0xfeff;
}

// Whether the text import enters the text as typing does. It keeps a leading apostrophe,
// has options of its own for formulas, reads line breaks and other control characters in
// its own way and cuts long fields; a byte order mark or broken UTF-16 would not survive
// the way there as UTF-8.
bool importedAsTyped(const QString& text) {
    return text.size() <= kLongestImported && !text.startsWith(u'=') && !text.startsWith(u'\'') &&
           QStringView(text).isValidUtf16() &&
           std::none_of(text.cbegin(), text.cend(), controlCharacter);
}

void typeInto(const Reference<css::sheet::XSpreadsheet>& sheet, const Cell& cell) {
    Reference<css::beans::XPropertySet>(sheet->getCellByPosition(cell.column - 1, cell.row - 1),
                                        UNO_QUERY_THROW)
        ->setPropertyValue("FormulaLocal", uno::Any(toOUString(cell.text)));
}

// One column, rows top to bottom (at most kBlockRows apart); rows in between stay empty.
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

// Runs `each` on every block of the cells (column by column, rows top to bottom): one
// column, at most kBlockRows rows.
template <class Each>
void forEachBlock(Cells::const_iterator begin, Cells::const_iterator end, Each&& each) {
    for (auto first = begin; first != end;) {
        const auto last = std::find_if(first, end, [&](const Cell& cell) {
            return cell.column != first->column || cell.row - first->row >= kBlockRows;
        });
        each(first, last);
        first = last;
    }
}

// Runs `each` on every run of the cells (column by column, rows top to bottom): one column,
// one row after the other, at most kBlockRows rows.
template <class Each>
void forEachRun(const Cells& cells, Each&& each) {
    forEachBlock(cells.cbegin(), cells.cend(), [&](auto begin, auto end) {
        for (auto first = begin; first != end;) {
            auto last = std::next(first);
            while (last != end && last->row == std::prev(last)->row + 1) {
                ++last;
            }
            each(first, last);
            first = last;
        }
    });
}

template <class Before>
void sortIfNeeded(Cells& cells, Before before) {
    if (!std::is_sorted(cells.cbegin(), cells.cend(), before)) {
        std::stable_sort(cells.begin(), cells.end(), before);
    }
}

bool columnByColumn(const Cell& a, const Cell& b) {
    return a.column != b.column ? a.column < b.column : a.row < b.row;
}

bool rowByRow(const Cell& a, const Cell& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
}

// The cells column by column, rows top to bottom, the last text given to a cell in place of
// the earlier ones.
Cells latestByColumn(Cells cells) {
    sortIfNeeded(cells, columnByColumn);
    Cells latest;
    latest.reserve(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const bool overwritten = i + 1 < cells.size() && cells[i + 1].row == cells[i].row &&
                                 cells[i + 1].column == cells[i].column;
        if (!overwritten) {
            latest.push_back(std::move(cells[i]));
        }
    }
    return latest;
}

// How the cells go in: through the text import (row by row), or in runs of rows and in
// whole blocks as plain text then retyped (column by column).
struct Routes {
    Cells imported;
    Cells runs;
    Cells blocks;
};

// The number of runs of rows among cells [first, last) that the text import cannot take.
int runsNotImported(const Cells& cells, const std::vector<bool>& imports, std::size_t first,
                    std::size_t last) {
    int runs = 0;
    for (std::size_t i = first; i < last; ++i) {
        const bool continues = i > first && !imports[i - 1] && cells[i].row == cells[i - 1].row + 1;
        runs += !imports[i] && !continues ? 1 : 0;
    }
    return runs;
}

Routes routesOf(Cells cells, bool importable) {
    Cells latest = latestByColumn(std::move(cells));
    std::vector<bool> imports(latest.size());
    std::transform(latest.cbegin(), latest.cend(), imports.begin(),
                   [&](const Cell& cell) { return importable && importedAsTyped(cell.text); });
    Routes routes;
    forEachBlock(latest.cbegin(), latest.cend(), [&](auto first, auto last) {
        const auto begin = static_cast<std::size_t>(first - latest.cbegin());
        const auto end = static_cast<std::size_t>(last - latest.cbegin());
        const bool whole =
            !importable || runsNotImported(latest, imports, begin, end) > kRunsPerBlock;
        for (std::size_t i = begin; i < end; ++i) {
            (whole        ? routes.blocks
             : imports[i] ? routes.imported
                          : routes.runs)
                .push_back(std::move(latest[i]));
        }
    });
    sortIfNeeded(routes.imported, rowByRow);
    return routes;
}

void appendField(QByteArray& csv, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"')) {
        csv += bytes;
        return;
    }
    csv += '"';
    for (const char c : bytes) {
        csv += c;
        if (c == '"') {
            csv += '"';
        }
    }
    csv += '"';
}

// The cells (row by row) as comma-separated UTF-8 lines, one for every sheet row from the
// first; a field with a comma or a quote is quoted.
QByteArray csvOf(const Cells& cells) {
    QByteArray csv;
    int row = 1;
    int column = 1;
    for (const Cell& cell : cells) {
        for (; row < cell.row; ++row) {
            csv += '\n';
            column = 1;
        }
        for (; column < cell.column; ++column) {
            csv += ',';
        }
        appendField(csv, cell.text);
    }
    csv += '\n';
    return csv;
}

css::beans::PropertyValue property(const char* name, uno::Any value) {
    css::beans::PropertyValue property;
    property.Name = rtl::OUString::createFromAscii(name);
    property.Value = std::move(value);
    return property;
}

// A document that is closed when this goes; closing it cannot report anything then.
class ScratchDocument {
public:
    explicit ScratchDocument(Reference<css::lang::XComponent> document)
        : document_(std::move(document)) {}
    ScratchDocument(const ScratchDocument&) = delete;
    ScratchDocument& operator=(const ScratchDocument&) = delete;
    ~ScratchDocument() {
        try {
            Reference<css::util::XCloseable>(document_, UNO_QUERY_THROW)->close(true);
        } catch (...) {
        }
    }
    Reference<css::sheet::XSpreadsheetDocument> spreadsheets() const {
        return {document_, UNO_QUERY_THROW};
    }
    const Reference<css::lang::XComponent>& component() const { return document_; }

private:
    Reference<css::lang::XComponent> document_;
};

// A new spreadsheet document without a window, not yet loaded.
Reference<css::lang::XComponent> newSpreadsheetModel(const OfficeConnection& office) {
    return {office.context->getServiceManager()->createInstanceWithContext(
                "com.sun.star.sheet.SpreadsheetDocument", office.context),
            UNO_QUERY_THROW};
}

// Loads the comma-separated UTF-8 text into the document with the office's text import,
// "Detect special numbers" on: every field is entered as typing enters it, with the number
// format typing gives. The document is loaded hidden: a document without a window of its
// own would otherwise show the import's progress in another document's window, which lets
// the office repaint windows in the middle of the import.
void importText(const OfficeConnection& office, const ScratchDocument& document,
                const QByteArray& csv) {
    const uno::Sequence<sal_Int8> bytes(reinterpret_cast<const sal_Int8*>(csv.constData()),
                                        static_cast<sal_Int32>(csv.size()));
    const std::array load{
        property("URL", uno::Any(rtl::OUString("private:stream"))),
        property("InputStream", uno::Any(css::io::SequenceInputStream::createStreamFromSequence(
                                    office.context, bytes))),
        property("FilterName", uno::Any(rtl::OUString("Text - txt - csv (StarCalc)"))),
        property("FilterOptions", uno::Any(rtl::OUString("44,34,76,1,,0,false,true"))),
        property("Hidden", uno::Any(true))};
    Reference<css::frame::XLoadable>(document.spreadsheets(), UNO_QUERY_THROW)
        ->load(uno::Sequence<css::beans::PropertyValue>(load.data(), load.size()));
}

// Puts the imported document's sheet in place of the document's sheet: at its position,
// under its name and the name macros know it by, and shown where it was shown.
Reference<css::sheet::XSpreadsheet> takeSheet(const Reference<css::lang::XComponent>& document,
                                              const Reference<css::sheet::XSpreadsheet>& sheet,
                                              const ScratchDocument& imported) {
    const Reference<css::sheet::XSpreadsheets2> sheets(
        Reference<css::sheet::XSpreadsheetDocument>(document, UNO_QUERY_THROW)->getSheets(),
        UNO_QUERY_THROW);
    const rtl::OUString name = Reference<css::container::XNamed>(sheet, UNO_QUERY_THROW)->getName();
    const sal_Int16 position = Reference<css::sheet::XCellRangeAddressable>(sheet, UNO_QUERY_THROW)
                                   ->getRangeAddress()
                                   .Sheet;
    const uno::Any codeName =
        Reference<css::beans::XPropertySet>(sheet, UNO_QUERY_THROW)->getPropertyValue("CodeName");
    const Reference<css::sheet::XSpreadsheetDocument> source = imported.spreadsheets();
    sheets->importSheet(source, source->getSheets()->getElementNames()[0], position);
    const Reference<css::sheet::XSpreadsheet> taken(
        Reference<css::container::XIndexAccess>(sheets, UNO_QUERY_THROW)->getByIndex(position),
        UNO_QUERY_THROW);
    const Reference<css::sheet::XSpreadsheetView> view(
        Reference<css::frame::XModel>(document, UNO_QUERY_THROW)->getCurrentController(),
        uno::UNO_QUERY);
    if (view.is()) {
        view->setActiveSheet(taken);
    }
    sheets->removeByName(name);
    Reference<css::container::XNamed>(taken, UNO_QUERY_THROW)->setName(name);
    Reference<css::beans::XPropertySet>(taken, UNO_QUERY_THROW)
        ->setPropertyValue("CodeName", codeName);
    return taken;
}

// A column shorter than this is fitted whole: fitting its cells takes about as long as the
// scratch document that would hold its samples.
constexpr std::size_t kFewestSampled = 10000;

// The rows of text cells, by column (from 1): runs of rows [first, last] (from 1), top to
// bottom.
using TextRows = std::map<int, std::vector<std::pair<int, int>>>;

Reference<css::sheet::XSpreadsheet> firstSheet(const ScratchDocument& document) {
    return {Reference<css::container::XIndexAccess>(document.spreadsheets()->getSheets(),
                                                    UNO_QUERY_THROW)
                ->getByIndex(0),
            UNO_QUERY_THROW};
}

// The cells of the range that hold text (not numbers, dates or formulas), as ranges.
uno::Sequence<css::table::CellRangeAddress> textCells(const Reference<uno::XInterface>& range) {
    return Reference<css::sheet::XCellRangesQuery>(range, UNO_QUERY_THROW)
        ->queryContentCells(css::sheet::CellFlags::STRING)
        ->getRangeAddresses();
}

TextRows textRowsOf(const Reference<css::sheet::XSpreadsheet>& sheet) {
    TextRows rows;
    for (const css::table::CellRangeAddress& range : textCells(sheet)) {
        for (sal_Int32 column = range.StartColumn; column <= range.EndColumn; ++column) {
            rows[column + 1].emplace_back(range.StartRow + 1, range.EndRow + 1);
        }
    }
    for (auto& entry : rows) {
        std::sort(entry.second.begin(), entry.second.end());
    }
    return rows;
}

// Enters the routes' cells; `imported` is given the rows of text cells among those that went
// in through the text import, before the imported sheet takes the place of the document's.
void enterRoutes(const OfficeConnection& office, SheetTransfer& transfer, const Routes& routes,
                 const std::function<void(TextRows)>& imported) {
    if (!routes.imported.empty()) {
        const ScratchDocument scratch(newSpreadsheetModel(office));
        importText(office, scratch, csvOf(routes.imported));
        imported(routes.imported.size() < kFewestSampled ? TextRows{}
                                                         : textRowsOf(firstSheet(scratch)));
        transfer.sheet = takeSheet(transfer.document, transfer.sheet, scratch);
    }
    const auto enter = [&](auto first, auto last) { enterBlock(transfer.sheet, first, last); };
    forEachBlock(routes.blocks.cbegin(), routes.blocks.cend(), enter);
    forEachRun(routes.runs, enter);
}

// The most digits an integer may have to be shown with all of them in the General format.
constexpr qsizetype kMostShownDigits = 15;

// The groups of integers among the probes of the digits' widths.
constexpr std::size_t kDigitProbeGroups = 4;

// Starts every probe that must be a text cell: no number, date or time starts with it.
constexpr char16_t kTextProbeStart = u'_';

// Integers of at most kMostShownDigits digits, with or without a minus sign, by the number
// of their digits, the sign and where their zeros and ones are: the same key for integers
// that differ only in their digits 2 to 9. None for every other text. The ones are kept
// apart since common fonts kern "11" closer.
std::optional<quint64> digitShape(QStringView text) {
    const bool negative = text.startsWith(u'-');
    const QStringView digits = text.sliced(negative ? 1 : 0);
    if (digits.isEmpty() || digits.size() > kMostShownDigits) {
        return {};
    }
    quint64 shape = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9') {
            return {};
        }
        shape = shape << 2 | std::min<quint64>(c.unicode() - u'0', 2);
    }
    return shape << 5 | static_cast<quint64>(digits.size()) << 1 | (negative ? 1 : 0);
}

// Texts of printable ASCII characters with a digit 2 to 9, by the text with each such digit
// made a 2: the same key for texts that differ only in their digits 2 to 9. None for every
// other text. ASCII alone is shown in the one font of Western text.
std::optional<QString> textShape(QStringView text) {
    QString shape;
    shape.reserve(text.size());
    bool digits = false;
    for (const QChar c : text) {
        if (c < u' ' || c > u'~') {
            return {};
        }
        const bool merged = c >= u'2' && c <= u'9';
        digits = digits || merged;
        shape += merged ? QChar(u'2') : c;
    }
    return digits ? std::optional(shape) : std::nullopt;
}

// Whether cells are text cells, asked row by row of each column from the top down.
class TextCells {
public:
    explicit TextCells(const TextRows& rows) : rows_(rows) {}
    bool contains(int column, int row) {
        const auto runs = rows_.find(column);
        if (runs == rows_.end()) {
            return false;
        }
        std::size_t& next = next_[column];
        while (next < runs->second.size() && runs->second[next].second < row) {
            ++next;
        }
        return next < runs->second.size() && runs->second[next].first <= row;
    }

private:
    const TextRows& rows_;
    std::map<int, std::size_t> next_;
};

// One column's distinct texts, an integer standing for those of its digit shape and a text
// cell for the text cells of its text shape.
class DistinctTexts {
public:
    explicit DistinctTexts(std::size_t cells) {
        texts_.reserve(static_cast<qsizetype>(cells / 2 + 1));
    }
    void insert(QStringView text, bool textCell) {
        if (const std::optional<quint64> shape = digitShape(text)) {
            const auto [entry, added] = shapes_.try_emplace(*shape, text);
            merged_ = merged_ || (!added && entry->second != text);
        } else if (const std::optional<QString> shape = textCell ? textShape(text) : std::nullopt) {
            const auto [entry, added] = textShapes_.try_emplace(*shape, text);
            if (!added && entry->second != text) {
                merged_ = true;
                addNeighbours(text);
            }
        } else {
            texts_.insert(text);
        }
    }
    std::size_t size() const {
        return static_cast<std::size_t>(texts_.size()) + shapes_.size() + textShapes_.size();
    }
    bool merged() const { return merged_; }
    const std::set<char16_t>& neighbours() const { return neighbours_; }
    std::vector<QString> samples() const {
        std::vector<QString> copies;
        copies.reserve(size());
        for (const QStringView text : texts_) {
            copies.push_back(text.toString());
        }
        for (const auto& shape : shapes_) {
            copies.push_back(shape.second.toString());
        }
        for (const auto& shape : textShapes_) {
            copies.push_back(shape.second.toString());
        }
        return copies;
    }

private:
    // Notes the characters other than digits next to a digit 2 to 9 of the text.
    void addNeighbours(QStringView text) {
        const auto merged = [](QChar c) { return c >= u'2' && c <= u'9'; };
        for (qsizetype i = 0; i + 1 < text.size(); ++i) {
            const QChar a = text[i];
            const QChar b = text[i + 1];
            if (merged(a) && !b.isDigit()) {
                neighbours_.insert(b.unicode());
            } else if (merged(b) && !a.isDigit()) {
                neighbours_.insert(a.unicode());
            }
        }
    }

    // Views of the cells' texts, room made at once for as many as a sampled column may hold:
    // a million texts are told apart in half the time.
    QSet<QStringView> texts_;
    std::unordered_map<quint64, QStringView> shapes_;
    std::unordered_map<QString, QStringView> textShapes_;
    std::set<char16_t> neighbours_;
    bool merged_ = false;
};

// The samples of the long columns that went in wholly through the text import and hold at
// most half as many samples as cells. Importing and fitting a sample costs up to twice as
// much as fitting a cell, so a column with more is fitted whole.
ColumnSamples samplesOf(const Routes& routes, const TextRows& textRows) {
    std::map<int, std::size_t> counts;
    for (const Cell& cell : routes.imported) {
        ++counts[cell.column];
    }
    for (const Cells* elsewhere : {&routes.runs, &routes.blocks}) {
        for (const Cell& cell : *elsewhere) {
            counts.erase(cell.column);
        }
    }
    std::erase_if(counts, [](const auto& count) { return count.second < kFewestSampled; });
    std::map<int, DistinctTexts> distinct;
    TextCells textCells(textRows);
    for (const Cell& cell : routes.imported) {
        const auto count = counts.find(cell.column);
        if (count == counts.end()) {
            continue;
        }
        const auto entry = distinct.try_emplace(cell.column, count->second).first;
        entry->second.insert(cell.text, textCells.contains(cell.column, cell.row));
        if (2 * entry->second.size() > count->second) {
            counts.erase(count);
            distinct.erase(entry);
        }
    }
    ColumnSamples samples;
    for (const auto& [column, texts] : distinct) {
        samples.texts[column] = texts.samples();
        samples.digitsMerged = samples.digitsMerged || texts.merged();
        samples.digitNeighbours.insert(texts.neighbours().begin(), texts.neighbours().end());
    }
    return samples;
}

// Texts that differ only in their digits 2 to 9, in groups whose members must each be
// equally wide for integers of the same digit shape, and texts of the same text shape, to
// be. Integers: each digit after a minus sign and before zeros, between zeros, between
// ones, and in turn with every digit (itself included). Then texts, after the integers'
// kDigitProbeGroups: each digit in turn with each of the `neighbours`.
std::vector<std::vector<QString>> digitProbes(const std::set<char16_t>& neighbours) {
    const auto alternating = [](QChar a, QChar b) {
        QString text;
        for (qsizetype i = 0; i < kMostShownDigits; ++i) {
            text += i % 2 ? b : a;
        }
        return text;
    };
    std::vector<std::vector<QString>> groups(kDigitProbeGroups);
    for (char16_t a = u'2'; a <= u'9'; ++a) {
        groups[0].push_back(QString(QChar(u'-')) + QChar(a) + QString(kMostShownDigits - 2, u'0'));
        groups[1].push_back(alternating(a, u'0'));
        groups[2].push_back(alternating(a, u'1'));
        for (char16_t b = a; b <= u'9'; ++b) {
            groups[3].push_back(alternating(a, b));
        }
    }
    for (const char16_t c : neighbours) {
        std::vector<QString>& group = groups.emplace_back();
        for (char16_t a = u'2'; a <= u'9'; ++a) {
            group.push_back(QChar(kTextProbeStart) + alternating(c, a));
        }
    }
    return groups;
}

// The samples as cells row by row, each column's from the first row down, and each probe
// of `probes` on the first row in a column of its own after them.
Cells sampleCells(const ColumnSamples& samples, const std::vector<std::vector<QString>>& probes) {
    Cells cells;
    for (const auto& [column, texts] : samples.texts) {
        for (std::size_t i = 0; i < texts.size(); ++i) {
            cells.push_back({static_cast<int>(i) + 1, column, texts[i]});
        }
    }
    int column = samples.texts.empty() ? 0 : samples.texts.rbegin()->first;
    for (const auto& group : probes) {
        for (const QString& probe : group) {
            cells.push_back({1, ++column, probe});
        }
    }
    sortIfNeeded(cells, rowByRow);
    return cells;
}

Reference<css::table::XTableColumns> columnsOf(const Reference<uno::XInterface>& range) {
    return Reference<css::table::XColumnRowRange>(range, UNO_QUERY_THROW)->getColumns();
}

Reference<css::beans::XPropertySet> column(const Reference<css::sheet::XSpreadsheet>& sheet,
                                           int number) {
    return {columnsOf(sheet)->getByIndex(number - 1), UNO_QUERY_THROW};
}

void fitWhole(const Reference<css::table::XTableColumns>& columns) {
    Reference<css::beans::XPropertySet>(columns, UNO_QUERY_THROW)
        ->setPropertyValue("OptimalWidth", uno::Any(true));
}

// The values of the document's default cell style, which all imported cells have; not the
// objects it holds (its XML attributes), which differ from document to document.
uno::Sequence<uno::Any> defaultCellStyle(const Reference<css::lang::XComponent>& document) {
    const Reference<css::container::XNameAccess> styles(
        Reference<css::style::XStyleFamiliesSupplier>(document, UNO_QUERY_THROW)
            ->getStyleFamilies()
            ->getByName("CellStyles"),
        UNO_QUERY_THROW);
    const Reference<css::beans::XMultiPropertySet> style(styles->getByName("Default"),
                                                         UNO_QUERY_THROW);
    std::vector<rtl::OUString> names;
    for (const css::beans::Property& property : style->getPropertySetInfo()->getProperties()) {
        if (property.Type.getTypeClass() != uno::TypeClass_INTERFACE) {
            names.push_back(property.Name);
        }
    }
    return style->getPropertyValues({names.data(), static_cast<sal_Int32>(names.size())});
}

bool showsFormulas(const Reference<css::lang::XComponent>& document) {
    const Reference<css::view::XViewSettingsSupplier> view(
        Reference<css::frame::XModel>(document, UNO_QUERY_THROW)->getCurrentController(),
        uno::UNO_QUERY);
    bool formulas = false;
    if (view.is()) {
        view->getViewSettings()->getPropertyValue("ShowFormulas") >>= formulas;
    }
    return formulas;
}

// Fits columns [first, last] (from 1) whole.
void fitWhole(const Reference<css::sheet::XSpreadsheet>& sheet, int first, int last) {
    if (first <= last) {
        fitWhole(columnsOf(sheet->getCellRangeByPosition(first - 1, 0, last - 1, 0)));
    }
}

sal_Int32 widthOf(const Reference<css::sheet::XSpreadsheet>& sheet, int number) {
    sal_Int32 width = 0;
    column(sheet, number)->getPropertyValue("Width") >>= width;
    return width;
}

int cellCount(const uno::Sequence<css::table::CellRangeAddress>& ranges) {
    int count = 0;
    for (const css::table::CellRangeAddress& range : ranges) {
        count += (range.EndColumn - range.StartColumn + 1) * (range.EndRow - range.StartRow + 1);
    }
    return count;
}

// Whether the probes of each group, on the first row in columns of their own from `first`
// on, are equally wide, and those after the integers' groups are text cells.
bool equallyWide(const Reference<css::sheet::XSpreadsheet>& sheet,
                 const std::vector<std::vector<QString>>& probes, int first) {
    for (std::size_t i = 0; i < probes.size(); ++i) {
        const int size = static_cast<int>(probes[i].size());
        if (i >= kDigitProbeGroups && cellCount(textCells(sheet->getCellRangeByPosition(
                                          first - 1, 0, first + size - 2, 0))) != size) {
            return false;
        }
        const sal_Int32 width = widthOf(sheet, first);
        for (const int end = first + size; first < end; ++first) {
            if (widthOf(sheet, first) != width) {
                return false;
            }
        }
    }
    return true;
}

// The optimal width of each sampled column, measured on a scratch document that holds the
// samples imported as the cells were; none when the document's cells would look different,
// or an integer stood for others and the probes of the digits' widths disagree or do not
// fit into the sheet's `columns`.
std::map<int, sal_Int32> sampledWidths(const OfficeConnection& office,
                                       const Reference<css::lang::XComponent>& document,
                                       const ColumnSamples& samples, int columns) {
    std::map<int, sal_Int32> widths;
    if (samples.texts.empty() || showsFormulas(document)) {
        return widths;
    }
    const std::vector<std::vector<QString>> probes = samples.digitsMerged
                                                         ? digitProbes(samples.digitNeighbours)
                                                         : std::vector<std::vector<QString>>{};
    const int lastSampled = samples.texts.rbegin()->first;
    int last = lastSampled;
    for (const auto& group : probes) {
        last += static_cast<int>(group.size());
    }
    if (last > columns) {
        return widths;
    }
    const ScratchDocument scratch(newSpreadsheetModel(office));
    importText(office, scratch, csvOf(sampleCells(samples, probes)));
    if (defaultCellStyle(scratch.component()) != defaultCellStyle(document)) {
        return widths;
    }
    const Reference<css::sheet::XSpreadsheet> sheet = firstSheet(scratch);
    fitWhole(sheet, 1, last);
    if (!equallyWide(sheet, probes, lastSampled + 1)) {
        return widths;
    }
    for (const auto& entry : samples.texts) {
        widths[entry.first] = widthOf(sheet, entry.first);
    }
    return widths;
}

}  // namespace

ColumnSamples enterCells(const OfficeConnection& office, SheetTransfer& transfer) {
    if (transfer.cells.empty()) {
        return {};
    }
    const Routes routes = routesOf(std::exchange(transfer.cells, {}), transfer.fresh);
    // Taken on a thread of their own while the office moves the imported cells, so that
    // neither waits for the other. Leaving early, the future waits for that thread.
    std::future<ColumnSamples> samples;
    {
        const DocumentLock lock(transfer.document);
        enterRoutes(office, transfer, routes, [&](TextRows textRows) {
            samples = std::async(std::launch::async, [&routes, textRows = std::move(textRows)] {
                return samplesOf(routes, textRows);
            });
        });
    }
    clearUndo(transfer.document);
    return samples.valid() ? samples.get() : ColumnSamples{};
}

void fitColumns(const OfficeConnection& office, const Reference<css::lang::XComponent>& document,
                const Reference<css::sheet::XSpreadsheet>& sheet, const ColumnSamples& samples) {
    const int columns = columnsOf(sheet)->getCount();
    int first = 1;
    for (const auto& [number, width] : sampledWidths(office, document, samples, columns)) {
        fitWhole(sheet, first, number - 1);
        column(sheet, number)->setPropertyValue("Width", uno::Any(width));
        first = number + 1;
    }
    fitWhole(sheet, first, columns);
    clearUndo(document);
}

}  // namespace culvex
