#pragma once

#include "choices/ExtractionChoices.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace culvex {

// How well one separator splits the sampled lines: the number of columns most of its
// lines have, and on how many lines that is.
struct SeparatorFit {
    SeparatorChoice choice = SeparatorChoice::None;
    std::string typed;        // the text for "Others:"
    std::size_t columns = 0;  // the most common number of columns
    std::size_t lines = 0;    // lines with that many
    std::size_t sampled = 0;  // non-empty lines looked at
};

// The four fixed separators, "Others:" with each of ";", "|" and ":", and "Others:" with
// nothing (every line one column), best first: the more lines split into the same number
// of columns, the better; on a tie the likelier separator of such files comes first (tab,
// ", " before ",", ";" before ","). The whole line comes first only when no separator
// splits half of the lines alike.
std::vector<SeparatorFit> rankSeparators(const std::vector<std::string_view>& lines);

// "Comma (,): 10 columns on 200 of 200 lines".
std::string describe(const SeparatorFit& fit);

}  // namespace culvex
