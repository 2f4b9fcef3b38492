#pragma once

#include "choices/ExtractionChoices.h"
#include "engine/LineExtractor.h"
#include "engine/LineSettings.h"
#include "engine/Separator.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace culvex {

// The most columns of a line the preview shows; the rest of a line is counted only.
inline constexpr std::size_t kShownColumns = 1000;

// The number of columns the separator cuts a line into, without cutting it.
std::size_t countColumns(const Separator& separator, std::string_view line);

// Why a line gives no row.
enum class NoRow {
    None,
    EmptyLine,           // an empty line never holds the separator
    NoSeparator,         // the line does not hold the separator
    StartMarkerMissing,  // no column begins with the start marker
    Overflow,            // a column index does not fit (too many columns, or the position)
    OutsideRange,        // the range holds no column with text on this line
};

// One column of a line as extraction takes it.
struct PreviewCell {
    std::string_view text;  // without its outer spaces
    bool kept = false;      // extraction makes a row of it
    std::size_t spacesBefore = 0;
    std::size_t spacesAfter = 0;
};

// One line of the sample, cut into its columns (with quoted fields, one record, which may
// run over several lines). Which columns are kept is the engine's call.
struct PreviewLine {
    std::vector<PreviewCell> cells;  // the first kShownColumns columns; the line without separator
    std::size_t columns = 0;         // every column of the line, 0 without the separator
    NoRow noRow = NoRow::None;
};

// Cuts lines with the separator and marks the columns as an extraction run with the same
// choices would: the columns come from the engine's separator, and which of them are kept
// from the engine's own line extractor.
class PreviewSplitter {
public:
    explicit PreviewSplitter(const ExtractionChoices& choices);

    // `readable` holds the line and may be read past it, as the engine's blocks may.
    PreviewLine split(std::string_view line, std::string_view readable);

    // With quoted fields: cuts `text`, the sample's lines, into records as the engine
    // does, at most `maxRecords` of them. `atEnd` says the file ends with the text; when
    // it does not, a record the text's end cuts inside a quote is left out, unless it is
    // the first. The cells view `shown`, a copy of the text with quoted values written
    // over their bytes as the engine writes them.
    std::vector<PreviewLine> splitRecords(std::string_view text, bool atEnd, std::string& shown,
                                          std::size_t maxRecords);

    const LineSettings& settings() const { return settings_; }

private:
    const Separator& separatorFor(std::string_view line) const;
    void markKept(std::string_view line, std::string_view readable, PreviewLine& out,
                  const std::vector<std::string_view>& columns);
    // A record at the same place of the shown copy and of the engine's.
    struct RecordCopies {
        char* shown;
        char* engine;
        std::string_view readable;  // the whole engine's copy
    };
    PreviewLine cutRecord(const RecordCopies& copies, std::size_t size, bool atEnd,
                          QuotedRecord& record);
    void noteNoRow(LineOverflows overflows, std::size_t rows, std::string_view line,
                   const std::vector<std::string_view>& columns, PreviewLine& out) const;
    bool overflowsWithoutRows(std::size_t columns) const;
    NoRow whyNoRow(std::string_view line, const std::vector<std::string_view>& columns) const;

    Separator separator_;
    Separator utf8Separator_;
    LineSettings settings_;
    LineExtractor extractor_;
    std::vector<QuotedColumn> quotedColumns_;
};

}  // namespace culvex
