#include "preview/SeparatorSuggestion.h"

#include "engine/Separator.h"
#include "preview/PreviewLines.h"

#include <algorithm>
#include <map>

namespace culvex {
namespace {

// The candidates in the order that breaks a tie.
struct Candidate {
    SeparatorChoice choice;
    std::string_view typed;
};
constexpr Candidate kCandidates[] = {
    {SeparatorChoice::Tab, {}},    {SeparatorChoice::CommaSpace, {}}, {SeparatorChoice::Typed, ";"},
    {SeparatorChoice::Typed, "|"}, {SeparatorChoice::Comma, {}},      {SeparatorChoice::Typed, ":"},
    {SeparatorChoice::Space, {}},
};

SeparatorFit fitOf(const Candidate& candidate, const std::vector<std::string_view>& lines) {
    SeparatorFit fit{candidate.choice, std::string(candidate.typed)};
    const Separator separator(candidate.choice == SeparatorChoice::Typed
                                  ? std::string(candidate.typed)
                                  : std::string(fixedSeparatorText(candidate.choice)));
    std::map<std::size_t, std::size_t> linesWith;  // columns -> lines
    for (const std::string_view line : lines) {
        if (line.empty()) {
            continue;
        }
        ++fit.sampled;
        if (separator.passes(line)) {
            ++linesWith[countColumns(separator, line)];
        }
    }
    for (const auto& [columns, count] : linesWith) {
        if (count >= fit.lines) {  // the larger number of columns on a tie
            fit.columns = columns;
            fit.lines = count;
        }
    }
    return fit;
}

}  // namespace

std::vector<SeparatorFit> rankSeparators(const std::vector<std::string_view>& lines) {
    std::vector<SeparatorFit> fits;
    for (const Candidate& candidate : kCandidates) {
        fits.push_back(fitOf(candidate, lines));
    }
    std::stable_sort(fits.begin(), fits.end(), [](const SeparatorFit& a, const SeparatorFit& b) {
        return a.lines > b.lines;
    });
    SeparatorFit whole{SeparatorChoice::Typed, {}, 1, 0, fits.front().sampled};
    whole.lines = whole.sampled;
    const bool splitsHalf =
        fits.front().lines * 2 >= fits.front().sampled && fits.front().lines > 0;
    fits.insert(splitsHalf ? fits.end() : fits.begin(), whole);
    return fits;
}

std::string describe(const SeparatorFit& fit) {
    std::string text;
    switch (fit.choice) {
        case SeparatorChoice::Space:
            text = "Space ( )";
            break;
        case SeparatorChoice::CommaSpace:
            text = "Comma-Space (, )";
            break;
        case SeparatorChoice::Comma:
            text = "Comma (,)";
            break;
        case SeparatorChoice::Tab:
            text = "Tab";
            break;
        case SeparatorChoice::Typed:
        case SeparatorChoice::None:
            text = fit.typed.empty() ? "Others (nothing)" : "Others (" + fit.typed + ")";
            break;
    }
    if (fit.lines == 0) {
        return text + ": in no line";
    }
    text += ": " + std::to_string(fit.columns) + (fit.columns == 1 ? " column" : " columns");
    return text + " on " + std::to_string(fit.lines) + " of " + std::to_string(fit.sampled) +
           (fit.sampled == 1 ? " line" : " lines");
}

}  // namespace culvex
