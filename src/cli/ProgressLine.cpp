#include "cli/ProgressLine.h"

#include <utility>

namespace culvex::cli {

namespace {
constexpr auto kQuietFor = std::chrono::seconds(1);
constexpr auto kRedrawEvery = std::chrono::milliseconds(250);
}  // namespace

ProgressLine::ProgressLine(std::ostream& terminal, bool shown, std::size_t fileCount,
                           const FormattedSink& sink)
    : terminal_(terminal),
      shown_(shown),
      fileCount_(fileCount),
      sink_(sink),
      start_(std::chrono::steady_clock::now()),
      lastDrawn_(start_) {}

void ProgressLine::pause() {
    if (!shown_) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - start_ < kQuietFor || (drawn_ && now - lastDrawn_ < kRedrawEvery)) {
        return;
    }
    terminal_ << "\rfile " << file_ << " of " << fileCount_ << ", " << (bytes_ >> 20) << " MiB, "
              << sink_.rows() << " rows\x1b[K" << std::flush;
    drawn_ = true;
    lastDrawn_ = now;
}

std::size_t ProgressLine::takeOverflows() { return std::exchange(overflows_, 0); }

void ProgressLine::end() {
    if (drawn_) {
        terminal_ << "\r\x1b[K" << std::flush;
        drawn_ = false;
    }
}

}  // namespace culvex::cli
