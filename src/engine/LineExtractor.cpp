#include "engine/LineExtractor.h"

#include "engine/FileReader.h"
#include "engine/Markers.h"

#include <algorithm>
#include <cstring>

namespace culvex {
namespace {

bool tooManyColumns(std::size_t count) { return count > LineExtractor::kMaxColumns; }

// `asUtf8`: the line is read as UTF-8 and the marker is not ASCII.
bool beginsWith(std::string_view column, const CodePageText& marker, bool asUtf8, CaseFold fold) {
    if (asUtf8) {
        return beginsWithFoldedMarker(column, marker.folded, fold);
    }
    return marker.representable && beginsWithMarker(column, marker.bytes);
}

bool endsWith(std::string_view column, const CodePageText& marker, bool asUtf8, CaseFold fold) {
    if (asUtf8) {
        return endsWithFoldedMarker(column, marker.folded, fold);
    }
    return marker.representable && endsWithMarker(column, marker.bytes);
}

// Whether `line` is valid UTF-8, looked at a stretch at a time. A stretch ends before a
// byte that can begin a sequence, so that a valid line is valid stretch by stretch.
bool isValidUtf8(std::string_view line, LongLineCut& cut) {
    constexpr int kLongestTail = 3;
    std::size_t from = 0;
    while (line.size() - from > cut.stretch()) {
        std::size_t end = from + cut.stretch();
        for (int back = 0; back < kLongestTail && end > from + 1 &&
                           (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80;
             ++back) {
            --end;
        }
        if (!utf8::isValid(line.substr(from, end - from)) || !cut.keepCutting()) {
            return false;
        }
        from = end;
    }
    return utf8::isValid(line.substr(from));
}

// The cut never goes past this many columns where any more would overflow the index: the
// line then yields no rows however many there are, and the columns take no more memory.
constexpr std::size_t kColumnsToOverflow = LineExtractor::kMaxColumns + 1;

}  // namespace

LineExtractor::LineExtractor(Separator separator, LineSettings settings)
    : separator_(std::move(separator)),
      utf8Separator_(separator_.inUtf8()),
      settings_(std::move(settings)),
      level_(scanLevel()) {
    const LineSettings& s = settings_;
    wideStartMarker_ = s.byRange && s.startByMarker && !s.startMarker.isAscii();
    wideEndMarker_ = s.byRange && s.endByMarker && !s.endMarker.isAscii();
    const bool markers = wideStartMarker_ || wideEndMarker_;
    checksLines_ =
        s.encoding != TextEncoding::Windows1252 && (separator_.differsInUtf8() || markers);
    if (s.quoted && !checksLines_ && QuotedScanner::serves(separator_)) {
        scanner_.emplace(separator_.bytes()[0], level_);
    }
    cutsRuns_ = runsOfLines();
    secondByte_ = Separator::secondCompared(separator_.bytes());
    toLast_ = !s.byRange || s.endAtLastColumn;
    fromFirst_ = !s.byRange || s.startIndex.value <= 0;
    writesLines_ = level_ == ScanLevel::Avx512 && cutsRuns_ && toLast_ && fromFirst_ &&
                   separator_.bytes().size() == 1 && !s.markLineEnds;
}

bool LineExtractor::runsOfLines() const {
    const LineSettings& s = settings_;
    const std::string& bytes = separator_.bytes();
    // A separator longer than the padding after a block could be looked for past it.
    if (level_ == ScanLevel::Bytes || s.quoted || checksLines_ || !separator_.findable() ||
        bytes.size() > LineBlocks::kPadding || bytes.find_first_of("\r\n") != std::string::npos) {
        return false;
    }
    if (!s.byRange) {
        return true;
    }
    if (!s.startByNumber || s.startByMarker || s.startIndex.overflow) {
        return false;
    }
    return s.endAtLastColumn ||
           (s.endByNumber && !s.endByMarker && !s.endIndex.overflow && s.endIndex.value >= 0);
}

bool LineExtractor::readsAsUtf8(std::string_view line, LongLineCut* cut) const {
    if (!checksLines_) {
        return false;
    }
    if (settings_.encoding == TextEncoding::Utf8) {
        return true;
    }
    return cut != nullptr ? isValidUtf8(line, *cut) : utf8::isValid(line);
}

LineOverflows LineExtractor::extract(std::string_view line, RowBatch& rows, LongLineCut* cut) {
    if (cut != nullptr && line.size() <= cut->stretch()) {
        cut = nullptr;
    }
    const LineOverflows overflows = extractColumns(line, rows, cut);
    if (cut != nullptr && cut->gaveUp()) {
        return {};
    }
    if (settings_.markLineEnds) {
        markLineEnd(line, rows);
    }
    return overflows;
}

void LineExtractor::markLineEnd(std::string_view line, RowBatch& rows) {
    if (line.data() == nullptr) {
        return;  // the empty source's one line
    }
    const char* const at = line.data() + line.size();
    const char* const end = rows.source().data() + rows.source().size();
    if ((at < end && at[0] == '\n') || (end - at >= 2 && at[0] == '\r' && at[1] == '\n')) {
        rows.add(lineEndMark(rows.source()));
    }
}

// A line cut stretch by stretch takes the way that adds its rows only once it is cut, so
// that a line given up yields none.
LineOverflows LineExtractor::extractColumns(std::string_view line, RowBatch& rows,
                                            LongLineCut* cut) {
    utf8Line_ = readsAsUtf8(line, cut);
    if (cut != nullptr && cut->gaveUp()) {
        return {};
    }
    if (cut == nullptr && lineSeparator().findable() && streamsRows(line)) {
        streamRows(line, rows);
        return {};
    }
    LineOverflows overflows;
    Range range;
    if (!settings_.byRange) {
        if (!lineSeparator().split(line, columns_, kColumnsToOverflow, level_, cut) ||
            (cut != nullptr && cut->gaveUp())) {
            return overflows;
        }
        if (tooManyColumns(columns_.size())) {
            overflows.add(IndexOverflow::LastColumn);
            return overflows;
        }
        range = {0, static_cast<int>(columns_.size()) - 1};
    } else {
        // Without markers only the columns up to the end number matter: the rest of a
        // long line is never cut.
        const bool needsAll =
            settings_.startByMarker || settings_.endByMarker || settings_.endAtLastColumn;
        const int endNumber = settings_.endByNumber ? settings_.endIndex.value : 0;
        const std::size_t limit =
            needsAll ? kColumnsToOverflow : static_cast<std::size_t>(std::max(endNumber, 0)) + 1;
        if (!lineSeparator().split(line, columns_, limit, level_, cut) ||
            (cut != nullptr && cut->gaveUp())) {
            return overflows;
        }
        range = findRange(overflows);
    }
    if (!overflows.any()) {
        appendRange(range, rows);
    }
    return overflows;
}

bool LineExtractor::streamsRows(std::string_view line) const {
    const LineSettings& s = settings_;
    if (!s.byRange) {
        return line.size() < kMaxColumns;
    }
    if (s.endAtLastColumn) {
        return s.startByNumber && !s.startByMarker && !s.startIndex.overflow &&
               line.size() < kMaxColumns;
    }
    return s.startByNumber && s.endByNumber && !s.startByMarker && !s.endByMarker &&
           !s.startIndex.overflow && !s.endIndex.overflow;
}

// The loop is built once for each level, so that the level costs no test per block.
template <ScanLevel kLevel>
void LineExtractor::streamRowsAt(std::string_view line, RowBatch& rows) const {
    // The start and end are known before the line is cut (every column, or both given by
    // number), and the line cannot hold too many columns: rows go out as the columns are
    // found, and cutting stops after the end column.
    const int first = settings_.byRange ? std::max<int>(settings_.startIndex.value, 0) : 0;
    const bool toLast = !settings_.byRange || settings_.endAtLastColumn;
    const int last = toLast ? kMaxColumns : settings_.endIndex.value;
    if (last < 0) {
        return;
    }
    int index = 0;
    const std::string_view source = rows.source();
    const bool keepEmpty = settings_.keepEmptyColumns;
    const auto onColumn = [&](std::string_view column) {
        // Columns before the start follow a pattern the processor learns; empty ones do not.
        if (index >= first) {
            rows.addIf(trimSpaces(column, source), keepEmpty || !column.empty());
        }
        return index++ == last;
    };
    lineSeparator().forEachColumn(line, source.data() + source.size(), kLevel, onColumn);
}

#ifdef __SSE2__
// The AVX2 loop, with the comparisons inlined 32 bytes wide; run only where the processor
// has AVX2.
[[gnu::target("avx2"), gnu::flatten]] void LineExtractor::streamRowsAvx2(std::string_view line,
                                                                         RowBatch& rows) const {
    streamRowsAt<ScanLevel::Avx2>(line, rows);
}
#endif

// The other levels' loops stay out of line, so that choosing one costs a test and a call
// per line.
[[gnu::noinline]] void LineExtractor::streamRowsSse2(std::string_view line, RowBatch& rows) const {
    streamRowsAt<ScanLevel::Sse2>(line, rows);
}

[[gnu::noinline]] void LineExtractor::streamRowsBytes(std::string_view line, RowBatch& rows) const {
    streamRowsAt<ScanLevel::Bytes>(line, rows);
}

void LineExtractor::streamRows(std::string_view line, RowBatch& rows) const {
#ifdef __SSE2__
    if (level_ >= ScanLevel::Avx2) {
        streamRowsAvx2(line, rows);
        return;
    }
#endif
    if (level_ == ScanLevel::Sse2) {
        streamRowsSse2(line, rows);
    } else {
        streamRowsBytes(line, rows);
    }
}

#ifdef __SSE2__
namespace {

template <ScanLevel kLevel>
TwoBytesBits separatorsAndBreaks(const char* at, char separator) {
    if constexpr (kLevel == ScanLevel::Avx512) {
        return twoBytesBitsAvx512(at, separator, '\n');
    } else if constexpr (kLevel == ScanLevel::Avx2) {
        return twoBytesBitsAvx2(at, separator, '\n');
    } else {
        return twoBytesBitsSse2(at, separator, '\n');
    }
}

// The row of the column [begin, end) of `data`, without its outer spaces. Each end is
// looked at eight bytes at once: the bytes after a column may always be read (the lines
// are followed by the source's padding), those before it when the column lies eight bytes
// or more into `data`.
inline RowSpan trimmedSpan(const char* data, std::size_t begin, std::size_t end) {
    constexpr std::uint64_t kSpaces = 0x2020202020202020;
    std::uint64_t head;
    std::uint64_t tail;
    std::memcpy(&head, data + begin, 8);
    std::memcpy(&tail, data + std::max<std::size_t>(end, 8) - 8, 8);
    head ^= kSpaces;
    tail ^= kSpaces;
    if (head == 0 || tail == 0 || end < 8) [[unlikely]] {
        const std::string_view column = trimSpaces(std::string_view(data + begin, end - begin));
        const auto at = static_cast<std::uint32_t>(column.data() - data);
        return {at, at + static_cast<std::uint32_t>(column.size())};
    }
    // A byte that is not a space leaves a non-zero byte; the first one from each end
    // counts the spaces there.
    const std::size_t size = end - begin;
    const std::size_t lead =
        std::min<std::size_t>(static_cast<std::size_t>(std::countr_zero(head)) / 8, size);
    const std::size_t trail =
        std::min<std::size_t>(static_cast<std::size_t>(std::countl_zero(tail)) / 8, size - lead);
    return {static_cast<std::uint32_t>(begin + lead), static_cast<std::uint32_t>(end - trail)};
}

// The row of a column [begin, end), in the usual case that neither end has eight spaces;
// `data` may be read from eight bytes before `end`. Returns false, with nothing written,
// when the column must be trimmed the plain way.
inline bool trimShortSpaces(const char* data, std::size_t begin, std::size_t end, RowSpan& row) {
    constexpr std::uint64_t kSpaces = 0x2020202020202020;
    std::uint64_t head;
    std::uint64_t tail;
    std::memcpy(&head, data + begin, 8);
    std::memcpy(&tail, data + end - 8, 8);
    const auto lead = static_cast<std::size_t>(std::countr_zero(head ^ kSpaces)) / 8;
    const auto trail = static_cast<std::size_t>(std::countl_zero(tail ^ kSpaces)) / 8;
    if (((lead | trail) & 8) != 0) [[unlikely]] {
        return false;
    }
    // A column of spaces only has them counted from both ends (and, where the separator is
    // a space, past its end).
    const std::size_t size = end - begin;
    const std::size_t leading = std::min(lead, size);
    row = {static_cast<std::uint32_t>(begin + leading),
           static_cast<std::uint32_t>(end - std::min(trail, size - leading))};
    return true;
}

// The first 16 bytes of `bytes` as 32-bit numbers.
[[gnu::target("avx512f,avx512bw,avx512vbmi")]] inline __m512i widenBytesAvx512(__m512i bytes) {
    const __m512i spread = _mm512_set_epi32(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    return _mm512_maskz_permutexvar_epi8(0x1111111111111111, spread, bytes);
}

// The line being written: where it and its column start in the text, how many bytes and
// rows were written before it, and the rows written in all.
struct LineMarks {
    std::size_t lineStart;
    std::size_t columnStart;
    std::size_t lineBytes;
    std::size_t lineRows;
    std::size_t rows;
};

// Where the rows of one 64-byte step go, and the line being cut.
struct CutState {
    RowSpan* out;
    RowSpan* lineRows;  // the first row of the line being cut
    std::size_t lineStart;
    std::size_t columnStart;
};

constexpr std::uint64_t kAllBits = ~std::uint64_t{0};

// The bit masks of one 64-byte step that both ways of writing its inner columns need, from
// the `delimiters` (separators and line feeds, at least two) and the line feeds among them.
// The columns lie wholly between the first and the last delimiter; "per column" masks hold
// one bit a column, from the first.
struct StepMasks {
    __m512i bytes;
    int lastAt;             // the last delimiter
    std::uint64_t lastBit;  // its bit
    std::uint64_t inner;    // the bytes after the first delimiter and before the last
    std::uint64_t ending;   // each inner column's delimiter
    std::uint64_t spaceBytes;
    std::uint64_t spaces;     // the spaces that are not delimiters
    std::uint64_t starts;     // each column's first byte
    std::uint64_t runStarts;  // the first and last spaces of each inner run of spaces
    std::uint64_t runLasts;
    unsigned count;       // columns
    std::uint64_t alone;  // per column: a line without a separator
    std::uint64_t keep;   // per column: a row is written for it
};

[[gnu::target("avx512f,avx512bw,bmi,bmi2,lzcnt,popcnt")]] inline StepMasks stepMasksAvx512(
    const char* at, std::uint64_t delimiters, std::uint64_t breaks, bool keepEmpty) {
    const std::uint64_t d = delimiters;
    StepMasks m;
    m.bytes = _mm512_loadu_si512(at);
    m.lastAt = 63 - std::countl_zero(d);
    m.lastBit = std::uint64_t{1} << m.lastAt;
    m.inner = ((kAllBits << std::countr_zero(d)) << 1) & (m.lastBit - 1);
    m.ending = (d & m.inner) | m.lastBit;
    m.spaceBytes = _cvtmask64_u64(_mm512_cmpeq_epi8_mask(m.bytes, _mm512_set1_epi8(' ')));
    m.spaces = m.spaceBytes & ~d;
    m.starts = (d ^ m.lastBit) << 1;
    m.runStarts = m.spaces & ~(m.spaces << 1) & m.inner;
    m.runLasts = m.spaces & ~(m.spaces >> 1) & m.inner;
    m.count = static_cast<unsigned>(std::popcount(m.ending));
    const std::uint64_t columns = (std::uint64_t{1} << m.count) - 1;
    const std::uint64_t empty = _pext_u64(d & (d << 1), m.ending);
    m.alone = _pext_u64(breaks, m.ending) & _pext_u64(breaks, d ^ m.lastBit) & columns;
    m.keep = (keepEmpty ? kAllBits : ~empty) & ~m.alone & columns;
    return m;
}

// The rows of every column that lies wholly between the first and the last of the
// `delimiters` (separators and line feeds, at least two) among the 64 bytes of `data` at
// `base`, as the step of cutLinesAt() adds them one by one, where no CR stands before a
// line feed among them and line ends are not marked. The columns are trimmed with bit
// masks: a column's row begins at the first byte from its start that is not a space (the
// carry of an addition runs through the spaces), and ends after its last such byte (the
// runs of spaces that reach a delimiter are picked out of all runs with pext and pdep).
// The positions are then compressed out of a byte vector and written as rows eight at a
// time; the batch has room past its rows for those writes.
[[gnu::target(
    "avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,bmi,bmi2,lzcnt,popcnt")]] inline void
innerColumnsAvx512(const char* data, std::size_t base, std::uint64_t delimiters,
                   std::uint64_t breaks, bool keepEmpty, CutState& state) {
    const StepMasks m = stepMasksAvx512(data + base, delimiters, breaks, keepEmpty);
    const std::uint64_t begins =
        (m.starts & ~m.spaces) | (((m.starts & m.spaces) + m.spaces) & ~m.spaces);
    const std::uint64_t ends =
        _pdep_u64(_pext_u64(m.runLasts & (delimiters >> 1), m.runLasts), m.runStarts) |
        (m.ending & ~(m.spaces << 1));

    alignas(64) static constexpr std::uint8_t kIota[64] = {
        0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
        22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43,
        44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63};
    const __m512i iota = _mm512_load_si512(kIota);
    __m512i beginAt = _mm512_maskz_compress_epi8(begins, iota);
    __m512i endAt = _mm512_maskz_compress_epi8(ends, iota);
    const __m512i offset = _mm512_set1_epi32(static_cast<int>(base));
    const __m512i low = _mm512_set_epi32(23, 7, 22, 6, 21, 5, 20, 4, 19, 3, 18, 2, 17, 1, 16, 0);
    const __m512i high =
        _mm512_set_epi32(31, 15, 30, 14, 29, 13, 28, 12, 27, 11, 26, 10, 25, 9, 24, 8);
    // Every lane: the masked forms spare the unmasked ones' undefined pass-through values.
    constexpr __mmask16 kLanes = 0xffff;
    RowSpan* const first = state.out;
    RowSpan* out = first;
    for (unsigned done = 0; done < m.count; done += 16) {
        const __m512i b = _mm512_add_epi32(widenBytesAvx512(beginAt), offset);
        const __m512i e =
            _mm512_maskz_max_epu32(kLanes, _mm512_add_epi32(widenBytesAvx512(endAt), offset), b);
        const auto keepLow = static_cast<std::uint8_t>(m.keep >> done);
        const auto keepHigh = static_cast<std::uint8_t>(m.keep >> (done + 8));
        _mm512_storeu_si512(
            out, _mm512_maskz_compress_epi64(keepLow, _mm512_permutex2var_epi32(b, low, e)));
        out += std::popcount(keepLow);
        _mm512_storeu_si512(
            out, _mm512_maskz_compress_epi64(keepHigh, _mm512_permutex2var_epi32(b, high, e)));
        out += std::popcount(keepHigh);
        beginAt = _mm512_maskz_alignr_epi32(kLanes, _mm512_setzero_si512(), beginAt, 4);
        endAt = _mm512_maskz_alignr_epi32(kLanes, _mm512_setzero_si512(), endAt, 4);
    }
    const std::uint64_t lineEnds = breaks & m.ending;
    if (lineEnds != 0) {
        const int lastBreak = 63 - std::countl_zero(lineEnds);
        const auto lines =
            static_cast<unsigned>(std::popcount(m.ending & ((std::uint64_t{2} << lastBreak) - 1)));
        state.lineStart = base + static_cast<std::size_t>(lastBreak) + 1;
        state.lineRows = first + std::popcount(m.keep & ((std::uint64_t{1} << lines) - 1));
    }
    state.out = out;
    state.columnStart = base + static_cast<std::size_t>(m.lastAt) + 1;
}

// The bytes that the rows of the same columns make, each row followed by a LF, written at
// `out` in one 64-byte store (the room past them is spare); returns where they end. The
// kept bytes of a column are those that are not spaces and the spaces between them: the
// spaces that lead a column are the runs the carry of an addition runs through, those that
// trail it the runs that reach a delimiter. A kept column's delimiter becomes its LF; the
// bytes of a line without a separator go.
[[gnu::target(
    "avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,bmi,bmi2,lzcnt,popcnt")]] inline char*
innerLinesAvx512(const char* data, std::size_t base, std::uint64_t delimiters,
                 std::uint64_t separators, std::uint64_t breaks, bool keepEmpty, char* out,
                 std::size_t outBytes, LineMarks& marks) {
    const std::uint64_t d = delimiters;
    const StepMasks m = stepMasksAvx512(data + base, d, breaks, keepEmpty);
    const std::uint64_t leading = m.spaces & ~((m.starts & m.spaces) + m.spaces);
    const std::uint64_t trailLasts = m.runLasts & (d >> 1);
    const std::uint64_t trailing =
        (trailLasts << 1) - _pdep_u64(_pext_u64(trailLasts, m.runLasts), m.runStarts);
    const std::uint64_t aloneEnds = _pdep_u64(m.alone, m.ending);
    const std::uint64_t dropped = (aloneEnds - _pdep_u64(m.alone, m.starts)) | aloneEnds;
    const std::uint64_t kept =
        ((~m.spaceBytes & ~d) | (m.spaces & ~leading & ~trailing)) & m.inner & ~dropped;
    const std::uint64_t written = kept | _pdep_u64(m.keep, m.ending);
    const __m512i lines =
        _mm512_mask_blend_epi8(_cvtu64_mask64(separators), m.bytes, _mm512_set1_epi8('\n'));
    _mm512_storeu_si512(out, _mm512_maskz_compress_epi8(_cvtu64_mask64(written), lines));
    const std::uint64_t lineEnds = breaks & m.ending;
    if (lineEnds != 0) {
        const int lastBreak = 63 - std::countl_zero(lineEnds);
        const std::uint64_t upTo = (std::uint64_t{2} << lastBreak) - 1;
        const auto lineColumns = static_cast<unsigned>(std::popcount(m.ending & upTo));
        marks.lineStart = base + static_cast<std::size_t>(lastBreak) + 1;
        marks.lineBytes = outBytes + static_cast<std::size_t>(std::popcount(written & upTo));
        marks.lineRows = marks.rows + static_cast<std::size_t>(std::popcount(
                                          m.keep & ((std::uint64_t{1} << lineColumns) - 1)));
    }
    marks.rows += static_cast<std::size_t>(std::popcount(m.keep));
    marks.columnStart = base + static_cast<std::size_t>(m.lastAt) + 1;
    return out + std::popcount(written);
}

[[gnu::target("avx512f,avx512bw")]] inline std::uint64_t returnBitsAvx512(const char* at) {
    return _cvtmask64_u64(_mm512_cmpeq_epi8_mask(_mm512_loadu_si512(at), _mm512_set1_epi8('\r')));
}

}  // namespace

// The separators and line feeds of each 64 bytes are found at once. The separators before
// each line feed are taken in order, each ending a column, then the line feed ends the line
// (and its last column, when the line holds a separator). Past the last wanted column the
// line's separators are passed over. Whether a column becomes a row is worked out without a
// branch, as it follows no pattern the processor could learn. The rows are written straight
// into the batch and handed on only for whole lines, so that a line with too many of them
// can be given back.
template <ScanLevel kLevel, bool kToLast, bool kCounts, bool kOneByte>
std::size_t LineExtractor::cutLinesAt(std::string_view text, std::size_t from, std::size_t to,
                                      SpanBatch& rows) const {
    const std::size_t first =
        settings_.byRange ? static_cast<std::size_t>(std::max<int>(settings_.startIndex.value, 0))
                          : 0;
    const std::size_t last =
        kToLast ? std::size_t{kMaxColumns} : static_cast<std::size_t>(settings_.endIndex.value);
    // With every column, a line long enough to hold more columns than the index takes
    // goes line by line.
    const std::size_t longLine = kToLast ? kMaxColumns - 64 : static_cast<std::size_t>(-1);
    const std::size_t keepEmpty = settings_.keepEmptyColumns ? 1 : 0;
    const std::size_t markEnds = settings_.markLineEnds ? 1 : 0;
    const std::string& bytes = separator_.bytes();
    const char separator = bytes[0];
    // A longer separator is looked for where its first byte and another one match, then
    // confirmed; a match that overlaps the last one is passed over.
    const std::size_t length = kOneByte ? 1 : bytes.size();
    const std::size_t distance = kOneByte ? 0 : secondByte_;
    const char second = bytes[distance];
    const auto matchesAt = [&](std::size_t at) {
        return length == 2 || std::memcmp(text.data() + at, bytes.data(), length) == 0;
    };
    const char* const data = text.data();
    const char* const readableEnd = rows.source().data() + rows.source().size();
    const auto markAt = static_cast<std::uint32_t>(rows.source().size());
    RowSpan* out = rows.end();
    RowSpan* lineRows = out;  // the first row of the line being cut
    RowSpan* const full = rows.begin() + SpanBatch::kLineRows;
    std::size_t lineStart = from;
    std::size_t columnStart = from;
    std::size_t index = 0;  // of the column being cut, when counted
    const auto trimmed = [&](std::size_t end) {
        RowSpan row;
        if (!trimShortSpaces(data, columnStart, end, row)) {
            row = trimmedSpan(data, columnStart, end);
        }
        return row;
    };
    for (std::size_t base = from; base < to; base += 64) {
        if (out >= full || base - lineStart >= longLine) [[unlikely]] {
            out = rows.handOnBefore(lineRows, out);
            lineRows = rows.begin();
            if (out >= full || base - lineStart >= longLine) {
                rows.end(lineRows);
                return lineStart;
            }
        }
        const TwoBytesBits found = separatorsAndBreaks<kLevel>(data + base, separator);
        std::uint64_t separators = found.one;
        std::uint64_t breaks = found.other;
        if constexpr (!kOneByte) {
            separators =
                pairBits(data + base, to - base, readableEnd, separator, second, distance, kLevel);
        }
        if (to - base < 64 + length - 1) {
            // A separator ends by the end of the lines.
            const std::size_t starts = to - base >= length ? to - base - length + 1 : 0;
            separators &= (std::uint64_t{1} << starts) - 1;
            breaks &= to - base < 64 ? (std::uint64_t{1} << (to - base)) - 1 : ~std::uint64_t{0};
        }
        // At AVX-512, every column wanted and a one-byte separator, the step's first
        // column goes the way below and the columns after it at once.
        std::uint64_t inner = 0;
        const std::uint64_t innerBreaks = breaks;
        if constexpr (kLevel == ScanLevel::Avx512 && kToLast && !kCounts && kOneByte) {
            const std::uint64_t delimiters = separators | breaks;
            if (markEnds == 0 && std::popcount(delimiters) >= 2 &&
                ((returnBitsAvx512(data + base) << 1) & breaks) == 0) {
                inner = delimiters;
                const std::uint64_t firstBit = delimiters & (0 - delimiters);
                separators &= firstBit;
                breaks &= firstBit;
            }
        }
        for (;;) {
            const std::uint64_t lineEnd = breaks & (0 - breaks);  // none: 0
            std::uint64_t inLine = separators & (lineEnd - 1);
            separators ^= inLine;
            if (kToLast || index <= last) {
                for (; inLine != 0; inLine &= inLine - 1) {
                    const std::size_t at =
                        base + static_cast<std::size_t>(std::countr_zero(inLine));
                    if constexpr (!kOneByte) {
                        if (at < columnStart || !matchesAt(at)) {
                            continue;
                        }
                    }
                    if (!kCounts || index >= first) {
                        *out = trimmed(at);
                        out += keepEmpty | (at != columnStart ? 1 : 0);
                    }
                    columnStart = at + length;
                    if (kCounts && ++index > last && !kToLast) {
                        break;
                    }
                }
            }
            if (lineEnd == 0) {
                break;
            }
            breaks ^= lineEnd;
            const std::size_t at = base + static_cast<std::size_t>(std::countr_zero(lineEnd));
            // The line's last column counts when the line holds a separator; a CR before
            // the LF is not the column's.
            const bool held =
                kCounts ? index > 0 && index >= first && index <= last : columnStart != lineStart;
            if (held) {
                const std::size_t end = at - (data[at - 1] == '\r' ? 1 : 0);
                *out = trimmedSpan(data, columnStart, end);
                out += keepEmpty | (end != columnStart ? 1 : 0);
            }
            *out = {markAt, markAt};
            out += markEnds;
            lineStart = columnStart = at + 1;
            lineRows = out;
            index = 0;
        }
        if (inner != 0) {
            CutState state{out, lineRows, lineStart, columnStart};
            innerColumnsAvx512(data, base, inner, innerBreaks, keepEmpty != 0, state);
            out = state.out;
            lineRows = state.lineRows;
            lineStart = state.lineStart;
            columnStart = state.columnStart;
        }
    }
    // The source's last line, without a break.
    const bool held =
        kCounts ? index > 0 && index >= first && index <= last : columnStart != lineStart;
    if (lineStart < to && held && (keepEmpty != 0 || to > columnStart)) {
        *out++ = trimmedSpan(data, columnStart, to);
    }
    rows.end(out);
    return to;
}

template <ScanLevel kLevel>
std::size_t LineExtractor::cutLinesAt(std::string_view text, std::size_t from, std::size_t to,
                                      SpanBatch& rows) const {
    const bool oneByte = separator_.bytes().size() == 1;
    if (!toLast_) {
        return oneByte ? cutLinesAt<kLevel, false, true, true>(text, from, to, rows)
                       : cutLinesAt<kLevel, false, true, false>(text, from, to, rows);
    }
    if (fromFirst_) {
        return oneByte ? cutLinesAt<kLevel, true, false, true>(text, from, to, rows)
                       : cutLinesAt<kLevel, true, false, false>(text, from, to, rows);
    }
    return oneByte ? cutLinesAt<kLevel, true, true, true>(text, from, to, rows)
                   : cutLinesAt<kLevel, true, true, false>(text, from, to, rows);
}

[[gnu::target("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,bmi,bmi2,lzcnt,popcnt"),
  gnu::flatten]] std::size_t
LineExtractor::cutLinesAvx512(std::string_view text, std::size_t from, std::size_t to,
                              SpanBatch& rows) const {
    return cutLinesAt<ScanLevel::Avx512>(text, from, to, rows);
}

[[gnu::target("avx2,bmi,bmi2,lzcnt"), gnu::flatten]] std::size_t LineExtractor::cutLinesAvx2(
    std::string_view text, std::size_t from, std::size_t to, SpanBatch& rows) const {
    return cutLinesAt<ScanLevel::Avx2>(text, from, to, rows);
}

[[gnu::noinline]] std::size_t LineExtractor::cutLinesSse2(std::string_view text, std::size_t from,
                                                          std::size_t to, SpanBatch& rows) const {
    return cutLinesAt<ScanLevel::Sse2>(text, from, to, rows);
}
#endif

#ifdef __SSE2__
// The row of the column [begin, end) and a LF, at `out`; returns where they end. A short
// row is copied in one fixed-size move, which the padding after the text and the room
// past `out` allow.
inline char* putLine(char* out, const char* data, RowSpan row) {
    constexpr std::size_t kMove = 32;
    const std::size_t n = row.end - row.begin;
    if (n <= kMove) {
        std::memcpy(out, data + row.begin, kMove);
    } else {
        std::memcpy(out, data + row.begin, n);
    }
    out[n] = '\n';
    return out + n + 1;
}

// As cutLinesAt() at AVX-512 with every column and a one-byte separator, the rows written
// as lines: each 64-byte step's first delimiter ends a column the plain way, and so do the
// others where a CR stands before a line feed; otherwise the columns after the first are
// written at once.
[[gnu::target("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,bmi,bmi2,lzcnt,popcnt"),
  gnu::flatten]] std::size_t
LineExtractor::writeLinesAvx512(std::string_view text, std::size_t from, std::size_t to,
                                RowBytes& bytes, std::size_t& rows) const {
    constexpr std::size_t kStep = 64;
    // A line long enough to hold more columns than the index takes goes line by line.
    constexpr std::size_t kLongLine = kMaxColumns - kStep;
    const bool keepEmpty = settings_.keepEmptyColumns;
    const char separator = separator_.bytes()[0];
    const char* const data = text.data();
    LineMarks marks{from, from, bytes.size(), rows, rows};
    char* start = nullptr;  // of the step's bytes
    char* out = nullptr;
    // Ends the column at `at`, a separator or (`lineEnd`) a line feed.
    const auto columnEnd = [&](std::size_t at, bool lineEnd) {
        const std::size_t columnStart = marks.columnStart;
        if (!lineEnd) {
            RowSpan row;
            if (!trimShortSpaces(data, columnStart, at, row)) {
                row = trimmedSpan(data, columnStart, at);
            }
            if (keepEmpty || at != columnStart) {
                out = putLine(out, data, row);
                ++marks.rows;
            }
            marks.columnStart = at + 1;
            return;
        }
        // The line's last column counts when the line holds a separator; a CR before the
        // LF is not the column's.
        if (columnStart != marks.lineStart) {
            const std::size_t end = at - (data[at - 1] == '\r' ? 1 : 0);
            if (keepEmpty || end != columnStart) {
                out = putLine(out, data, trimmedSpan(data, columnStart, end));
                ++marks.rows;
            }
        }
        marks.lineStart = marks.columnStart = at + 1;
        marks.lineRows = marks.rows;
        marks.lineBytes = bytes.size() + static_cast<std::size_t>(out - start);
    };
    for (std::size_t base = from; base < to; base += kStep) {
        if (base - marks.lineStart >= kLongLine) [[unlikely]] {
            bytes.keepFirst(marks.lineBytes);
            rows = marks.lineRows;
            return marks.lineStart;
        }
        // The step's bytes, the column begun before it, and a spare store.
        start = bytes.room(base + 3 * kStep - marks.columnStart);
        out = start;
        const TwoBytesBits found = twoBytesBitsAvx512(data + base, separator, '\n');
        std::uint64_t separators = found.one;
        std::uint64_t breaks = found.other;
        if (to - base < kStep) {
            const std::uint64_t before = (std::uint64_t{1} << (to - base)) - 1;
            separators &= before;
            breaks &= before;
        }
        const std::uint64_t delimiters = separators | breaks;
        if (delimiters != 0) {
            const std::uint64_t first = delimiters & (0 - delimiters);
            columnEnd(base + static_cast<std::size_t>(std::countr_zero(first)),
                      (breaks & first) != 0);
            std::uint64_t rest = delimiters ^ first;
            if (rest != 0 && ((returnBitsAvx512(data + base) << 1) & breaks & rest) == 0) {
                out = innerLinesAvx512(data, base, delimiters, separators, breaks, keepEmpty, out,
                                       bytes.size() + static_cast<std::size_t>(out - start), marks);
                rest = 0;
            }
            for (; rest != 0; rest &= rest - 1) {
                const std::uint64_t bit = rest & (0 - rest);
                columnEnd(base + static_cast<std::size_t>(std::countr_zero(bit)),
                          (breaks & bit) != 0);
            }
        }
        bytes.added(static_cast<std::size_t>(out - start));
    }
    // The source's last line, without a break.
    if (marks.lineStart < to && marks.columnStart != marks.lineStart &&
        (keepEmpty || to > marks.columnStart)) {
        start = bytes.room(to - marks.columnStart + kStep);
        bytes.added(static_cast<std::size_t>(
            putLine(start, data, trimmedSpan(data, marks.columnStart, to)) - start));
        ++marks.rows;
    }
    rows = marks.rows;
    return to;
}
#endif

std::size_t LineExtractor::writeLines(std::string_view text, std::size_t from, std::size_t to,
                                      RowBytes& out, std::size_t& rows) const {
#ifdef __SSE2__
    if (writesLines_) {
        return writeLinesAvx512(text, from, to, out, rows);
    }
#else
    static_cast<void>(text);
    static_cast<void>(to);
    static_cast<void>(out);
    static_cast<void>(rows);
#endif
    return from;
}

std::size_t LineExtractor::cutLines(std::string_view text, std::size_t from, std::size_t to,
                                    SpanBatch& rows) const {
#ifdef __SSE2__
    if (level_ == ScanLevel::Avx512) {
        return cutLinesAvx512(text, from, to, rows);
    }
    if (level_ == ScanLevel::Avx2) {
        return cutLinesAvx2(text, from, to, rows);
    }
    return cutLinesSse2(text, from, to, rows);
#else
    static_cast<void>(text);
    static_cast<void>(to);
    static_cast<void>(rows);
    return from;  // no line is cut in runs: each goes its own way
#endif
}

LineExtractor::Range LineExtractor::findRange(LineOverflows& overflows) const {
    const int last = static_cast<int>(columns_.size()) - 1;
    Range range;
    if (settings_.startByNumber) {
        if (settings_.startIndex.overflow) {
            overflows.add(IndexOverflow::StartNumber);
        }
        range.start = settings_.startIndex.value;
    }
    if (settings_.startByMarker) {
        range.start = findStartByMarker(overflows);
    }
    if (settings_.endByNumber) {
        if (settings_.endIndex.overflow) {
            overflows.add(IndexOverflow::EndNumber);
        }
        range.end = settings_.endIndex.value;
    }
    if (settings_.endAtLastColumn) {
        if (tooManyColumns(columns_.size())) {
            overflows.add(IndexOverflow::LastColumn);
        }
        range.end = last;
    } else if (settings_.endByMarker) {
        // The end defaults to the start as found, before a negative start becomes 0.
        range.end = findEndByMarker(range.start, overflows);
    }
    if (range.start < 0) {
        range.start = 0;
    }
    if (range.end > last) {
        range.end = last;
    }
    return range;
}

int LineExtractor::findStartByMarker(LineOverflows& overflows) const {
    if (tooManyColumns(columns_.size())) {
        overflows.add(IndexOverflow::StartPastLast);
    }
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (beginsWith(columns_[i], settings_.startMarker, utf8Line_ && wideStartMarker_,
                       settings_.fold)) {
            return static_cast<int>(i);
        }
    }
    return static_cast<int>(columns_.size());
}

int LineExtractor::findEndByMarker(int start, LineOverflows& overflows) const {
    if (tooManyColumns(columns_.size())) {
        overflows.add(IndexOverflow::EndScan);
    }
    for (std::size_t i = columns_.size(); i-- > 0;) {
        if (endsWith(columns_[i], settings_.endMarker, utf8Line_ && wideEndMarker_,
                     settings_.fold)) {
            return static_cast<int>(i);
        }
    }
    return start;
}

void LineExtractor::appendRange(Range range, RowBatch& rows) const {
    for (int i = range.start; i <= range.end; ++i) {
        const std::string_view column = columns_[static_cast<std::size_t>(i)];
        if (settings_.keepEmptyColumns || !column.empty()) {
            rows.add(trimSpaces(column, rows.source()));
        }
    }
}

}  // namespace culvex
