#include "engine/FileExtraction.h"

#include "engine/FileReader.h"

namespace culvex {
namespace {

void reportOverflows(LineOverflows overflows, ExtractionProgress& progress) {
    for (const IndexOverflow what :
         {IndexOverflow::StartNumber, IndexOverflow::StartPastLast, IndexOverflow::EndNumber,
          IndexOverflow::EndScan, IndexOverflow::LastColumn}) {
        if (overflows.has(what)) {
            progress.overflowed(what);
        }
    }
}

}  // namespace

void extractLines(ByteSource& source, LineExtractor& extractor, ResultsSink& sink,
                  ExtractionProgress& progress, std::size_t pauseEvery, std::size_t blockBytes) {
    LineBlocks blocks(source, blockBytes);
    std::size_t sincePause = 0;  // bytes walked since the last pause, breaks included
    while (blocks.next()) {
        // The batch holds views into the block: it is flushed before the next block is
        // read, and before anything that can show the rows so far (a pause or a report).
        RowBatch rows(sink, blocks.readable());
        TextLines lines(blocks.text());
        std::size_t remaining = lines.remaining();
        std::string_view line;
        while (lines.next(line)) {
            const LineOverflows overflows = extractor.extract(line, rows);
            if (overflows.any()) {
                rows.flush();
                reportOverflows(overflows, progress);
            }
            sincePause += remaining - lines.remaining();
            remaining = lines.remaining();
            if (sincePause > pauseEvery) {
                rows.flush();
                progress.pause();
                if (progress.stopped()) {
                    return;
                }
                sincePause = 0;
            }
        }
        rows.flush();
    }
}

}  // namespace culvex
