#include "extract/FileExtraction.h"

#include "extract/FileReader.h"

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

void extractLines(std::string_view bytes, LineExtractor& extractor, ResultsSink& sink,
                  ExtractionProgress& progress, std::size_t pauseEvery) {
    // The batch holds views into `bytes`: it is flushed before this returns, and before
    // anything that can show the rows so far (a pause or a report).
    RowBatch rows(sink, bytes);
    TextLines lines(bytes);
    std::size_t nextPause = bytes.size() > pauseEvery ? bytes.size() - pauseEvery : 0;
    std::string_view line;
    while (lines.next(line)) {
        const LineOverflows overflows = extractor.extract(line, rows);
        if (overflows.any()) {
            rows.flush();
            reportOverflows(overflows, progress);
        }
        if (lines.remaining() < nextPause) {
            rows.flush();
            progress.pause();
            nextPause = lines.remaining() > pauseEvery ? lines.remaining() - pauseEvery : 0;
        }
    }
    rows.flush();
}

}  // namespace culvex
