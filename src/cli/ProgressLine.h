#pragma once

#include "cli/ResultsOutput.h"
#include "engine/FileExtraction.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>

namespace culvex::cli {

// The progress of a run on one self-updating line of a terminal, shown once the run has
// taken more than a second; the line is wiped at the end. Overflows are counted for the
// file being read.
class ProgressLine final : public ExtractionProgress {
public:
    ProgressLine(std::ostream& terminal, bool shown, std::size_t fileCount,
                 const FormattedSink& sink);

    void startFile(std::size_t number) { file_ = number; }
    void addBytes(std::uint64_t bytes) { bytes_ += bytes; }
    void pause() override;
    void overflowed(LineOverflows) override { ++overflows_; }
    void quoteLeftOpen() override { ++openQuotes_; }
    // The lines that overflowed since the last call.
    std::size_t takeOverflows();
    // The records with a quote read as plain text since the last call.
    std::size_t takeOpenQuotes() { return std::exchange(openQuotes_, 0); }
    void end();

private:
    std::ostream& terminal_;
    bool shown_;
    bool drawn_ = false;
    std::size_t fileCount_;
    std::size_t file_ = 0;
    std::uint64_t bytes_ = 0;
    const FormattedSink& sink_;
    std::size_t overflows_ = 0;
    std::size_t openQuotes_ = 0;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDrawn_;
};

}  // namespace culvex::cli
