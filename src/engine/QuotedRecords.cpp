// The extraction of records cut with quoted fields, beside the line-by-line one.
#include "engine/LineExtractor.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace culvex {

const Separator& LineExtractor::recordSeparator(const char* text, std::size_t size,
                                                std::string_view readable) {
    if (checksLines_) {
        // The record's first line decides how it is read.
        const void* lf = std::memchr(text, '\n', size);
        const std::size_t first =
            lf == nullptr ? size : static_cast<std::size_t>(static_cast<const char*>(lf) - text);
        utf8Line_ = readsAsUtf8(std::string_view(text, first), nullptr);
    }
    if (scanner_) {
        scanner_->within(text + size, readable.data() + readable.size());
    }
    return lineSeparator();
}

// Where the record at `text` ends when no quote comes before its LF (or before the text's
// end, at the source's end): then it is a line as any other.
std::optional<std::size_t> LineExtractor::quotelessEnd(const char* text, std::size_t size,
                                                       bool atEnd, std::string_view readable) {
    const char* const end = text + size;
    const char* at = nullptr;
    if (scanner_) {
        scanner_->within(end, readable.data() + readable.size());
        at = scanner_->next(text, end, QuotedScanner::Quotes | QuotedScanner::LineFeeds);
    } else {
        at = std::find_if(text, end, [](char c) { return c == '"' || c == '\n'; });
    }
    if (at == end ? !atEnd : *at == '"') {
        return std::nullopt;
    }
    return static_cast<std::size_t>(at - text);
}

QuotedRecord LineExtractor::extractRecord(char* text, std::size_t size, bool atEnd, RowBatch& rows,
                                          LineOverflows& overflows) {
    if (const std::optional<std::size_t> at = quotelessEnd(text, size, atEnd, rows.source())) {
        // The line's own cut serves it, rows streamed where the line allows.
        QuotedRecord record;
        record.size = *at<size&& * at> 0 && text[*at - 1] == '\r' ? *at - 1 : *at;
        record.next = std::min(*at + 1, size);
        overflows = extract(std::string_view(text, record.size), rows);
        return record;
    }
    const Separator& separator = recordSeparator(text, size, rows.source());
    const QuotedRecord record =
        splitQuoted(text, size, atEnd, separator, settings_.quoteBound, quotedColumns_,
                    scanner_ ? &*scanner_ : nullptr, columnsWanted());
    if (!record.complete) {
        return record;
    }
    if (record.passes) {
        Range range{0, static_cast<int>(quotedColumns_.size()) - 1};
        if (!settings_.byRange) {
            if (quotedColumns_.size() > kMaxColumns) {
                overflows.add(IndexOverflow::LastColumn);
            }
        } else {
            // The range is found on the columns' texts, as for a line.
            columns_.clear();
            for (const QuotedColumn& column : quotedColumns_) {
                columns_.push_back(column.text);
            }
            range = findRange(overflows);
        }
        if (!overflows.any()) {
            appendQuotedRange(range, rows);
        }
    }
    if (settings_.markLineEnds) {
        markLineEnd(std::string_view(text, record.size), rows);
    }
    return record;
}

std::size_t LineExtractor::recordsEnd(char* text, std::size_t size, bool atEnd,
                                      std::string_view readable) {
    startBlock();
    if (scanner_ && separator_.bytes()[0] != ' ') {
        scanner_->within(text + size, readable.data() + readable.size());
        return completeRecords(text, size, atEnd, separator_, settings_.quoteBound, *scanner_);
    }
    std::size_t done = 0;
    while (done < size) {
        const Separator& separator = recordSeparator(text + done, size - done, readable);
        const QuotedRecord record =
            splitQuoted(text + done, size - done, atEnd, separator, settings_.quoteBound,
                        quotedColumns_, scanner_ ? &*scanner_ : nullptr, 1, false);
        if (!record.complete) {
            break;
        }
        done += record.next;
    }
    return done;
}

std::size_t LineExtractor::recordEnd(char* text, std::size_t size, bool atEnd,
                                     std::string_view readable, std::size_t& from) {
    startBlock();
    // The record's first line decides its separator, wherever the walk starts.
    const Separator& separator = recordSeparator(text, size, readable);
    const QuotedRecord record =
        splitQuoted(text + from, size - from, atEnd, separator, settings_.quoteBound,
                    quotedColumns_, scanner_ ? &*scanner_ : nullptr, 1, false);
    if (!record.complete) {
        from += record.open;
        return 0;
    }
    return from + record.next;
}

std::optional<StreamedColumns> LineExtractor::streamedColumns() const {
    const LineSettings& s = settings_;
    if (!scanner_ || separator_.bytes()[0] == ' ') {
        return std::nullopt;
    }
    StreamedColumns columns;
    columns.separator = separator_.bytes()[0];
    columns.keepEmpty = s.keepEmptyColumns;
    columns.markLineEnds = s.markLineEnds;
    columns.bound = s.quoteBound;
    columns.level = level_;
    // Every column, or to the last: a column past the index's last overflows the record.
    columns.last = static_cast<int>(kMaxColumns) - 1;
    columns.overflowPastLast = true;
    if (!s.byRange) {
        return columns;
    }
    if (!s.startByNumber || s.startByMarker || s.startIndex.overflow ||
        (s.endByNumber && s.endIndex.overflow)) {
        return std::nullopt;
    }
    columns.first = std::max<int>(s.startIndex.value, 0);
    if (s.endAtLastColumn) {
        return columns;
    }
    if (!s.endByNumber || s.endByMarker) {
        return std::nullopt;
    }
    columns.last = s.endIndex.value;
    columns.overflowPastLast = false;
    return columns;
}

// Without markers or the last column, only the columns up to the end number matter.
std::size_t LineExtractor::columnsWanted() const {
    const LineSettings& s = settings_;
    if (!s.byRange || s.startByMarker || s.endByMarker || s.endAtLastColumn || !s.endByNumber) {
        return static_cast<std::size_t>(-1);
    }
    return static_cast<std::size_t>(std::max<int>(s.endIndex.value, 0)) + 1;
}

// A quoted value is added as it stands; a plain column is trimmed as on a line.
void LineExtractor::appendQuotedRange(Range range, RowBatch& rows) const {
    for (int i = range.start; i <= range.end; ++i) {
        const QuotedColumn& column = quotedColumns_[static_cast<std::size_t>(i)];
        const bool keep = settings_.keepEmptyColumns || !column.text.empty();
        rows.addIf(column.quoted ? column.text : trimSpaces(column.text, rows.source()), keep);
    }
}

}  // namespace culvex
