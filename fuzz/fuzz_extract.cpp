// A text through the extraction: the first bytes choose the separator, the per-line
// settings and the size of the blocks it is read in (small, so that lines and 64-byte
// separator searches meet the blocks' edges); the rest is the text. Checks that every row
// is a trimmed piece of the text without a line break, and that every level of byte
// comparison and worker threads give the same rows, reports and pauses as one thread
// comparing byte by byte, also where the rows are written as lines. The same text with quoted
// fields (and a short quote bound) gives the same on several threads and in large blocks as on one
// thread in the small blocks.
#include "choices/TypedNumbers.h"
#include "engine/FileExtraction.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Each row and a LF, which lets the cut write the rows itself.
class LinesFormat final : public culvex::RowFormat {
public:
    void write(std::span<const culvex::RowSpan> rows, std::string_view source,
               culvex::RowBytes& out) const override {
        for (const culvex::RowSpan row : rows) {
            const std::size_t n = row.end - row.begin;
            char* const at = out.room(n + 1);
            std::memcpy(at, source.data() + row.begin, n);
            at[n] = '\n';
            out.added(n + 1);
        }
    }
    bool rowThenLineFeed() const override { return true; }
};

// Checks each row and keeps the rows, with the reports and pauses between them (which
// begin with a line break, as no row does).
class CheckingSink final : public culvex::ResultsSink, public culvex::ExtractionProgress {
public:
    CheckingSink(std::string_view text, bool quoted) : text_(text), quoted_(quoted) {}
    void append(std::string_view row) override {
        if (quoted_) {
            seen.emplace_back(row);  // a quoted value may hold breaks and lose its quotes
            return;
        }
        if (!row.empty() && (row.front() == ' ' || row.back() == ' ')) {
            std::abort();
        }
        if (row.find('\n') != std::string_view::npos || text_.find(row) == std::string_view::npos) {
            std::abort();
        }
        seen.emplace_back(row);
    }
    const culvex::RowFormat* rowFormat() const override { return format; }
    void appendWritten(std::string_view bytes, std::size_t rows) override {
        for (std::size_t i = 0; i < rows; ++i) {
            const std::size_t end = bytes.find('\n');
            if (end == std::string_view::npos) {
                std::abort();
            }
            append(bytes.substr(0, end));
            bytes.remove_prefix(end + 1);
        }
        if (!bytes.empty()) {
            std::abort();
        }
    }
    void publish() override {}
    void pause() override { seen.emplace_back("\npause"); }
    void quoteLeftOpen() override { seen.emplace_back("\nopen"); }
    void overflowed(culvex::LineOverflows line) override {
        seen.push_back("\noverflow" + std::to_string(static_cast<int>(line.bits())));
    }

    std::vector<std::string> seen;
    const culvex::RowFormat* format = nullptr;  // none: rows arrive one by one

private:
    std::string_view text_;
    bool quoted_;
};

std::string_view take(std::string_view& input, std::size_t count) {
    const std::string_view part = input.substr(0, count);
    input.remove_prefix(part.size());
    return part;
}

// Typed text whose UTF-8 form is its own bytes, folded character by character.
culvex::CodePageText typed(std::string_view bytes, bool representable) {
    culvex::CodePageText text{std::string(bytes), representable, std::string(bytes), {}};
    for (std::size_t at = 0; at < bytes.size();) {
        text.folded.push_back(culvex::utf8::next(bytes, at));
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) {
        return 0;
    }
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto flags = static_cast<unsigned char>(input[0]);
    const auto lengths = static_cast<unsigned char>(input[1]);
    const std::size_t blockBytes = 1 + static_cast<unsigned char>(input[2]) % 128;
    const bool utf8Only = (static_cast<unsigned char>(input[2]) & 128u) != 0;
    input.remove_prefix(3);

    static const char* const fixed[] = {" ", ", ", ",", "\t"};
    const unsigned choice = flags & 7u;
    const std::string separator =
        choice < 4 ? fixed[choice] : std::string(take(input, lengths & 3u));

    culvex::LineSettings settings;
    settings.byRange = (flags & 8u) != 0;
    settings.startByNumber = (flags & 16u) != 0;
    settings.startByMarker = !settings.startByNumber;
    settings.endByNumber = (flags & 32u) != 0;
    settings.endByMarker = !settings.endByNumber;
    settings.startIndex = culvex::columnIndexOf(take(input, (lengths >> 2) & 3u));
    settings.endIndex = culvex::columnIndexOf(take(input, (lengths >> 4) & 3u));
    settings.startMarker = typed(take(input, (lengths >> 6) & 3u), (flags & 64u) == 0);
    settings.endMarker = typed(take(input, 2), (flags & 128u) == 0);
    settings.encoding = utf8Only ? culvex::TextEncoding::Utf8 : culvex::TextEncoding::Auto;
    const std::string utf8Separator(choice < 4 ? separator : take(input, 2));

    const culvex::Separator lineSeparator(separator, true, utf8Separator);
    const LinesFormat lines;
    const auto run = [&](culvex::ScanLevel level, unsigned threads, std::size_t blocks = 0,
                         bool written = false) {
        culvex::forceScanLevel(level);
        culvex::LineExtractor extractor(lineSeparator, settings);
        CheckingSink sink(input, settings.quoted);
        sink.format = written ? &lines : nullptr;
        culvex::MemorySource source(input);
        culvex::extractLines(source, extractor, sink, sink, 16, blocks != 0 ? blocks : blockBytes,
                             {threads, 0});
        return std::move(sink.seen);
    };
    const std::vector<std::string> reference = run(culvex::ScanLevel::Bytes, 1);
    for (const culvex::ScanLevel level :
         {culvex::ScanLevel::Sse2, culvex::ScanLevel::Avx2, culvex::ScanLevel::Avx512}) {
        if (level <= culvex::bestScanLevel() && run(level, 1) != reference) {
            std::abort();
        }
    }
    if (run(culvex::bestScanLevel(), 1, 0, true) != reference) {
        std::abort();
    }
    if (run(culvex::bestScanLevel(), 2) != reference) {
        std::abort();
    }
    settings.quoted = true;
    settings.quoteBound = 1 + lengths % 64;
    const std::vector<std::string> quoted = run(culvex::ScanLevel::Bytes, 1);
    if (run(culvex::bestScanLevel(), 2, culvex::kBlockBytes) != quoted) {
        std::abort();
    }
    return 0;
}
