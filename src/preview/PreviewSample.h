#pragma once

#include "engine/InputFile.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace culvex {

// The most the preview reads of a file: the first lines, up to this many of them and this
// many bytes, whichever limit comes first.
inline constexpr std::size_t kSampleLines = 200;
inline constexpr std::size_t kSampleBytes = std::size_t{1} << 20;

// The start of a file as the preview shows it: its first whole lines, cut as the engine
// cuts lines (LF or CR LF). A line that the byte limit cuts is left out, unless it is the
// only one; then it stands cut.
struct Sample {
    std::string bytes;      // what was read, with padding after it for wide loads
    std::string_view text;  // the sampled lines with their breaks, at the start of `bytes`
    std::vector<std::string_view> lines;
    bool moreInFile = false;  // the file goes on after the sampled lines
    bool lineCut = false;     // the one line shown is cut at the byte limit
};

// Reads the sample from a source; throws what the source throws.
Sample readSample(ByteSource& source, std::size_t maxLines = kSampleLines,
                  std::size_t maxBytes = kSampleBytes);

// The sample of a file at a native path; throws std::runtime_error when it cannot be read.
Sample readSampleOf(const std::string& path);

}  // namespace culvex
