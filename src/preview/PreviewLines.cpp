#include "preview/PreviewLines.h"

#include "engine/FileReader.h"
#include "engine/Markers.h"
#include "engine/ResultsSink.h"
#include "engine/TextEncoding.h"

namespace culvex {
namespace {

// Takes the engine's rows of one line and marks the column each of them lies in. A row is
// a view into its column, so its place tells the column apart even when two columns hold
// the same text.
class KeptColumns final : public ResultsSink {
public:
    KeptColumns(const std::vector<std::string_view>& columns, std::vector<PreviewCell>& cells)
        : columns_(columns), cells_(cells) {}

    void append(std::string_view row) override {
        ++rows;
        while (next_ < columns_.size()) {
            const std::string_view column = columns_[next_];
            if (row.data() >= column.data() &&
                row.data() + row.size() <= column.data() + column.size()) {
                cells_[next_++].kept = true;
                return;
            }
            ++next_;
        }
    }
    void publish() override {}

    std::size_t rows = 0;

private:
    const std::vector<std::string_view>& columns_;
    std::vector<PreviewCell>& cells_;
    std::size_t next_ = 0;
};

PreviewCell cellOf(std::string_view column) {
    PreviewCell cell;
    cell.text = trimSpaces(column);
    cell.spacesBefore = static_cast<std::size_t>(cell.text.data() - column.data());
    cell.spacesAfter = column.size() - cell.text.size() - cell.spacesBefore;
    return cell;
}

}  // namespace

PreviewSplitter::PreviewSplitter(const ExtractionChoices& choices)
    : separator_(separatorOf(choices)),
      utf8Separator_(separator_.inUtf8()),
      settings_(lineSettingsOf(choices)),
      extractor_(separator_, settings_) {}

// The engine reads a line as UTF-8 for its separator only when the typed separator has
// other bytes there, the Encoding setting allows it, and the line's bytes say so.
const Separator& PreviewSplitter::separatorFor(std::string_view line) const {
    const TextEncoding encoding = settings_.encoding;
    const bool utf8Line = encoding != TextEncoding::Windows1252 && separator_.differsInUtf8() &&
                          (encoding == TextEncoding::Utf8 || utf8::isValid(line));
    return utf8Line ? utf8Separator_ : separator_;
}

std::size_t countColumns(const Separator& separator, std::string_view line) {
    const std::size_t width = separator.bytes().size();
    std::size_t columns = 1;
    for (std::size_t at = separator.find(line, 0); at != std::string_view::npos;
         at = separator.find(line, at + width)) {
        ++columns;
    }
    return columns;
}

PreviewLine PreviewSplitter::split(std::string_view line, std::string_view readable) {
    PreviewLine out;
    const Separator& separator = separatorFor(line);
    std::vector<std::string_view> columns;
    if (!separator.split(line, columns, kShownColumns)) {
        out.noRow = line.empty() ? NoRow::EmptyLine : NoRow::NoSeparator;
        out.cells.push_back(cellOf(line));  // shown whole, for the reader to see why
        return out;
    }
    out.columns = columns.size() < kShownColumns ? columns.size() : countColumns(separator, line);
    out.cells.reserve(columns.size());
    for (const std::string_view column : columns) {
        out.cells.push_back(cellOf(column));
    }
    if (overflowsWithoutRows(out.columns)) {
        out.noRow = NoRow::Overflow;
        return out;
    }
    markKept(line, readable, out, columns);
    return out;
}

// A line of more columns than the index holds gives no row unless its range is found
// without markers, which the engine cuts only up to the end column. Cutting such a line whole
// would cost the engine time and memory in proportion to its columns, for nothing.
bool PreviewSplitter::overflowsWithoutRows(std::size_t columns) const {
    const LineSettings& s = settings_;
    const bool withoutMarkers = s.byRange && !s.startByMarker && !s.endByMarker;
    return columns > LineExtractor::kMaxColumns && !withoutMarkers;
}

void PreviewSplitter::markKept(std::string_view line, std::string_view readable, PreviewLine& out,
                               const std::vector<std::string_view>& columns) {
    KeptColumns kept(columns, out.cells);
    RowBatch rows(kept, readable);
    const LineOverflows overflows = extractor_.extract(line, rows);
    rows.flush();
    noteNoRow(overflows, kept.rows, line, columns, out);
}

void PreviewSplitter::noteNoRow(LineOverflows overflows, std::size_t rows, std::string_view line,
                                const std::vector<std::string_view>& columns,
                                PreviewLine& out) const {
    if (overflows.any()) {
        out.noRow = NoRow::Overflow;
    } else if (rows == 0) {
        out.noRow = whyNoRow(line, columns);
    }
}

std::vector<PreviewLine> PreviewSplitter::splitRecords(std::string_view text, bool atEnd,
                                                       std::string& shown, std::size_t maxRecords) {
    shown.assign(text);
    shown.append(LineBlocks::kPadding, '\0');
    std::string engine = shown;
    extractor_.startBlock();
    std::vector<PreviewLine> out;
    std::size_t done = 0;
    while (done < text.size() && out.size() < maxRecords) {
        // The first record is shown even when the sample's end cuts it inside a quote:
        // then it is read as the file's end would read it.
        const RecordCopies copies{shown.data() + done, engine.data() + done, engine};
        QuotedRecord record;
        PreviewLine line = cutRecord(copies, text.size() - done, atEnd || out.empty(), record);
        if (!record.complete) {
            break;
        }
        out.push_back(std::move(line));
        done += record.next;
    }
    return out;
}

// Cuts the record into every column on the shown copy, and has the engine extract the
// same bytes of its own copy: both are rewritten alike, so a row at an offset of the
// engine's copy lies in the cell at that offset of the shown one.
PreviewLine PreviewSplitter::cutRecord(const RecordCopies& copies, std::size_t size, bool atEnd,
                                       QuotedRecord& record) {
    const std::string_view text(copies.shown, size);
    const std::string_view firstLine = text.substr(0, text.find('\n'));
    const Separator& separator = separatorFor(firstLine);
    PreviewLine out;
    // A first look leaves the bytes as they are, for a record without separator to be
    // shown as the file has it.
    record = splitQuoted(copies.shown, size, atEnd, separator, settings_.quoteBound, quotedColumns_,
                         nullptr, static_cast<std::size_t>(-1), false);
    if (!record.complete || !record.passes) {
        const std::string_view whole = text.substr(0, record.size);
        out.noRow = whole.empty() ? NoRow::EmptyLine : NoRow::NoSeparator;
        out.cells.push_back(cellOf(whole));
        return out;
    }
    splitQuoted(copies.shown, size, atEnd, separator, settings_.quoteBound, quotedColumns_);
    std::vector<std::string_view> columns;  // the shown columns in the engine's copy
    for (const QuotedColumn& column : quotedColumns_) {
        if (columns.size() == kShownColumns) {
            break;
        }
        out.cells.push_back(column.quoted ? PreviewCell{column.text} : cellOf(column.text));
        columns.emplace_back(copies.engine + (column.text.data() - copies.shown),
                             column.text.size());
    }
    out.columns = quotedColumns_.size();
    KeptColumns kept(columns, out.cells);
    RowBatch rows(kept, copies.readable);
    LineOverflows overflows;
    extractor_.extractRecord(copies.engine, size, atEnd, rows, overflows);
    rows.flush();
    noteNoRow(overflows, kept.rows, firstLine, columns, out);
    return out;
}

NoRow PreviewSplitter::whyNoRow(std::string_view line,
                                const std::vector<std::string_view>& columns) const {
    if (!settings_.byRange || !settings_.startByMarker) {
        return NoRow::OutsideRange;
    }
    const CodePageText& marker = settings_.startMarker;
    const TextEncoding encoding = settings_.encoding;
    const bool asUtf8 = !marker.isAscii() && encoding != TextEncoding::Windows1252 &&
                        (encoding == TextEncoding::Utf8 || utf8::isValid(line));
    for (const std::string_view column : columns) {
        const bool begins = asUtf8 ? beginsWithFoldedMarker(column, marker.folded, settings_.fold)
                                   : marker.representable && beginsWithMarker(column, marker.bytes);
        if (begins) {
            return NoRow::OutsideRange;
        }
    }
    return NoRow::StartMarkerMissing;
}

}  // namespace culvex
