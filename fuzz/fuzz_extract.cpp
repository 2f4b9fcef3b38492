// One line through the extraction: the first bytes choose the separator and the per-line
// settings, the rest is the line. Checks that every row is a trimmed piece of the line.
#include "extract/LineExtractor.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

class CheckingSink final : public culvex::ResultsSink {
public:
    explicit CheckingSink(std::string_view line) : line_(line) {}
    void append(std::string_view row) override {
        if (!row.empty() && (row.front() == ' ' || row.back() == ' ')) {
            std::abort();
        }
        if (line_.find(row) == std::string_view::npos) {
            std::abort();
        }
    }
    void publish() override {}

private:
    std::string_view line_;
};

std::string_view take(std::string_view& input, std::size_t count) {
    const std::string_view part = input.substr(0, count);
    input.remove_prefix(part.size());
    return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto flags = static_cast<unsigned char>(input[0]);
    const auto lengths = static_cast<unsigned char>(input[1]);
    input.remove_prefix(2);

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
    culvex::RowBatch rows(sink, input);
    extractor.extract(input, rows);
    rows.flush();
    return 0;
}
