#pragma once

#include "engine/FileExtraction.h"

namespace culvex {

// Extracts every block of `blocks` cut into records with quoted fields, as extractLines
// does with lines: rows, overflow reports, unclosed quotes and pauses reach `sink` and
// `progress` in file order. A record that the block's end cuts inside a quote moves
// whole to the next block. The bytes of a block are rewritten where quoted values differ
// from them.
void extractQuotedRecords(LineBlocks& blocks, LineExtractor& extractor, ResultsSink& sink,
                          ExtractionProgress& progress, std::size_t pauseEvery);

}  // namespace culvex
