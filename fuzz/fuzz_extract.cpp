// A text through the extraction: the first bytes choose the separator, the per-line
// settings and the size of the blocks it is read in (small, so that lines and 64-byte
// separator searches meet the blocks' edges); the rest is the text. Checks that every row
// is a trimmed piece of the text without a line break.
#include "engine/FileExtraction.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

class CheckingSink final : public culvex::ResultsSink {
public:
    explicit CheckingSink(std::string_view text) : text_(text) {}
    void append(std::string_view row) override {
        if (!row.empty() && (row.front() == ' ' || row.back() == ' ')) {
            std::abort();
        }
        if (row.find('\n') != std::string_view::npos || text_.find(row) == std::string_view::npos) {
            std::abort();
        }
    }
    void publish() override {}

private:
    std::string_view text_;
};

class NoPauses final : public culvex::ExtractionProgress {
public:
    void pause() override {}
    void overflowed(culvex::IndexOverflow) override {}
};

std::string_view take(std::string_view& input, std::size_t count) {
    const std::string_view part = input.substr(0, count);
    input.remove_prefix(part.size());
    return part;
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
    settings.startMarker = {std::string(take(input, (lengths >> 6) & 3u)), (flags & 64u) == 0};
    settings.endMarker = {std::string(take(input, 2)), (flags & 128u) == 0};

    culvex::LineExtractor extractor(culvex::Separator(separator), settings);
    CheckingSink sink(input);
    NoPauses progress;
    culvex::MemorySource source(input);
    culvex::extractLines(source, extractor, sink, progress, 16, blockBytes);
    return 0;
}
