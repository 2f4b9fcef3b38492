#pragma once

#include "command/CommandContext.h"
#include "command/FileEntries.h"
#include "command/ProtectedProcedure.h"
#include "engine/ResultsSink.h"
#include "engine/Separator.h"
#include "extract/ExtractionControls.h"

#include <cstdint>
#include <set>

namespace culvex {

// "Extract Columns From File(s)" (PushButton7_Click): checks the settings, then cuts
// every line of every listed file into columns and appends the picked non-empty columns,
// without their outer spaces, to the results. The window stays live during a run; a
// second click while it runs does nothing. The run shows its progress, and a stop keeps
// the rows made so far and says how many there are instead of "Done.".
class ExtractCommand {
public:
    explicit ExtractCommand(const CommandContext& context);

    void run(const FileEntries& files, const ExtractionControls& controls, ResultsSink& results);
    bool isBusy() const { return busy_; }

private:
    struct Run;
    struct Outcome {
        bool stopped;
        std::int64_t rows;  // made by this run
    };

    Outcome extractAll(ProtectedProcedure& proc, const FileEntries& files,
                       const ExtractionControls& controls, ResultsSink& results);
    Separator chooseSeparatorSteps(ProtectedProcedure& proc, const ExtractionControls& controls);
    void extractFile(Run& run, int position, int count);
    void reportOpenQuotes(Run& run, const QString& path);

    CommandContext context_;
    bool busy_ = false;
};

}  // namespace culvex
