#pragma once

#include "engine/BlockWorkers.h"

#include <exception>

namespace culvex {

// Extracts the complete records of the reader's current block, cut with quoted fields, as
// extractBlock does with lines: rows, overflow reports, unclosed quotes and pauses reach
// `sink` and `progress` in file order. A record that the block's end cuts inside a quote
// moves whole to the next block. The block's bytes are rewritten where quoted values
// differ from them. A first record the block cuts is read on first, asking the progress
// between reads, and a record longer than a block asks it again after every block's length
// as it is cut. False when the progress said it has stopped at a pause or inside a record.
bool extractCurrentRecords(LineBlocks& blocks, LineExtractor& extractor, ResultsSink& sink,
                           ExtractionProgress& progress, std::size_t pauseEvery);

// The same for a block of whole records (as cutAtRecordEnd leaves it), on any thread; a
// record longer than `stretch` asks after every `stretch` bytes.
bool extractQuotedBlock(const LineBlock& block, LineExtractor& extractor, ResultsSink& sink,
                        ExtractionProgress& progress, std::size_t pauseEvery, std::size_t stretch);

// Ends the reader's current block at the end of its last complete record, reading on
// while it holds none, so that the block can be extracted apart from the rest. False when
// no record is left (the source ended, or a read failed: then `failure` holds it).
bool cutAtRecordEnd(LineBlocks& blocks, LineExtractor& extractor, std::exception_ptr& failure);

}  // namespace culvex
