#pragma once

#include "engine/FileExtraction.h"
#include "engine/ResultsStore.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace culvex::bench {

// Appends straight into a results store, as the results list does, without a view.
class StoreSink final : public ResultsSink {
public:
    explicit StoreSink(ResultsStore& store) : store_(store) {}
    void append(std::string_view row) override { store_.append(row); }
    void appendBatch(std::span<const std::string_view> rows, std::string_view source) override {
        store_.appendRows(rows, source);
    }
    void appendSpans(std::span<const RowSpan> rows, std::string_view source) override {
        store_.appendSpans(rows, source);
    }
    bool takesPages() const override { return true; }
    void appendPage(RowPage& page) override { store_.appendPage(page, page.size()); }
    void publish() override {}

private:
    ResultsStore& store_;
};

// Takes no pauses, but times the longest stretch without a call from the extraction, in
// which a window would not repaint.
class NoPauses final : public ExtractionProgress {
public:
    using Clock = std::chrono::steady_clock;
    void pause() override { called(); }
    bool keepReadingLongLine() override {
        called();
        return true;
    }
    void overflowed(LineOverflows) override {}
    // The longest time between two calls, or from the start to the last call.
    Clock::duration longestGap() const { return longest_; }

private:
    void called() {
        const Clock::time_point now = Clock::now();
        longest_ = std::max(longest_, now - last_);
        last_ = now;
    }
    Clock::time_point last_ = Clock::now();
    Clock::duration longest_{};
};

// The ways of comparing bytes by name, for forceScanLevel(); empty for an unknown name.
inline std::optional<ScanLevel> scanLevelNamed(std::string_view name) {
    if (name == "bytes") {
        return ScanLevel::Bytes;
    }
    if (name == "sse2") {
        return ScanLevel::Sse2;
    }
    if (name == "avx2") {
        return ScanLevel::Avx2;
    }
    if (name == "avx512") {
        return ScanLevel::Avx512;
    }
    return std::nullopt;
}

// The two jobs compared with other tools: J1 takes every column, J2 columns 2 to 3; Q1 and
// Q2 are the same with fields that may be in double quotes.
inline LineSettings jobSettings(std::string_view job) {
    LineSettings settings;
    settings.quoted = job.starts_with('Q');
    if (job.ends_with('2')) {
        settings.byRange = true;
        settings.startByNumber = true;
        settings.endByNumber = true;
        settings.startIndex = {1, false};
        settings.endIndex = {2, false};
    }
    return settings;
}

// Runs one job over a source's bytes into `store`, on `threads` threads (0: one per core,
// as the window runs it); returns the longest time without a pause.
inline NoPauses::Clock::duration runJob(ByteSource& source, std::string_view job,
                                        ResultsStore& store, unsigned threads = 0,
                                        std::string_view separator = ",") {
    LineExtractor extractor(Separator(std::string(separator)), jobSettings(job));
    StoreSink sink(store);
    NoPauses progress;
    extractLines(source, extractor, sink, progress, kPauseEveryBytes, kBlockBytes, {threads});
    return progress.longestGap();
}

}  // namespace culvex::bench
