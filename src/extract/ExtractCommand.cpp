#include "extract/ExtractCommand.h"

#include "command/PlainMessage.h"
#include "engine/FileExtraction.h"
#include "engine/InputFile.h"
#include "engine/ResultsStore.h"
#include "extract/ExtractValidation.h"
#include "platform/FileSystem.h"

#include <QFileInfo>
#include <atomic>
#include <chrono>
#include <optional>
#include <stdexcept>

namespace culvex {
namespace {

int labelOf(IndexOverflow what) {
    switch (what) {
        case IndexOverflow::StartNumber:
            return 200;
        case IndexOverflow::StartPastLast:
            return 204;
        case IndexOverflow::EndNumber:
            return 216;
        case IndexOverflow::EndScan:
            return 222;
        case IndexOverflow::LastColumn:
            return 240;
    }
    return 0;
}

// A run that filled the results list tells how many rows did not fit, once, at its end.
void reportRowsLeftOut(Dialogs& dialogs, std::size_t leftOut) {
    if (leftOut > 0) {
        showPlainMessage(dialogs, QStringLiteral("The results list is full: %1 more rows were "
                                                 "found and left out. The command-line "
                                                 "extractor culvex-extract has no such limit.")
                                      .arg(leftOut));
    }
}

// Passes the rows on to the results and counts them, for the progress window and the
// message of a stopped run.
class CountingSink final : public ResultsSink {
public:
    explicit CountingSink(ResultsSink& results) : results_(results) {}
    void append(std::string_view row) override {
        ++rows_;
        results_.append(row);
    }
    void appendBatch(std::span<const std::string_view> rows, std::string_view source) override {
        rows_ += static_cast<std::int64_t>(rows.size());
        results_.appendBatch(rows, source);
    }
    void appendSpans(std::span<const RowSpan> rows, std::string_view source) override {
        rows_ += static_cast<std::int64_t>(rows.size());
        results_.appendSpans(rows, source);
    }
    bool takesPages() const override { return results_.takesPages(); }
    void appendPage(RowPage& page) override {
        rows_ += static_cast<std::int64_t>(page.size());
        results_.appendPage(page);
    }
    void publish() override { results_.publish(); }
    std::size_t takeRowsLeftOut() override { return results_.takeRowsLeftOut(); }
    std::int64_t rows() const { return rows_; }

private:
    ResultsSink& results_;
    std::int64_t rows_ = 0;
};

// Counts the bytes read of the file being extracted, for the progress window's bar.
class ProgressBarSource final : public ByteSource {
public:
    ProgressBarSource(ByteSource& source, std::atomic<std::int64_t>& bytes)
        : source_(source), bytes_(bytes) {}
    std::size_t read(char* into, std::size_t count) override {
        const std::size_t read = source_.read(into, count);
        bytes_.fetch_add(static_cast<std::int64_t>(read), std::memory_order_relaxed);
        return read;
    }

private:
    ByteSource& source_;
    std::atomic<std::int64_t>& bytes_;
};

// Clears the busy flag however the run ends.
struct BusyGuard {
    bool& busy;
    ~BusyGuard() { busy = false; }
};

}  // namespace

// What one run shares between its files.
struct ExtractCommand::Run final : ExtractionProgress {
    ExtractCommand& command;
    ProtectedProcedure& proc;
    const FileEntries& files;
    const ExtractionControls& controls;
    CountingSink results;
    Separator separator;
    CommandProgress& progress;
    // The bytes read in the whole run, and the size of all its files, so that the bar
    // runs once across the run.
    std::atomic<std::int64_t> bytesRead{0};
    std::int64_t runBytes = 0;
    // An overflow is reported once per step label and run, not once per line.
    std::set<int> reportedOverflows;
    // The records of the file being read whose quote was read as plain text.
    std::int64_t openQuotes = 0;
    using Clock = std::chrono::steady_clock;
    static constexpr int kViewShare = 9;
    Clock::time_point nextPublish;

    Run(ExtractCommand& c, ProtectedProcedure& p, const FileEntries& f, const ExtractionControls& e,
        ResultsSink& r, Separator s)
        : command(c),
          proc(p),
          files(f),
          controls(e),
          results(r),
          separator(std::move(s)),
          progress(c.context_.progress) {}

    void showProgress() {
        progress.advance(bytesRead.load(std::memory_order_relaxed), runBytes, results.rows());
    }

    // Every batch of rows handed to the view makes it lay out all the rows it shows again,
    // which grows with the list. So the rows so far reach the view only when the window is
    // about to get its turn, and only after the run has worked on for kViewShare times as
    // long as the view took last time: the window then costs at most about a tenth of the
    // run however long the list grows.
    // The count is shown at every yield that lets the window paint, so that a stop there
    // says the count the progress window shows.
    void pause() override {
        Yielder& yielder = command.context_.yielder;
        if (!yielder.due() || Clock::now() < nextPublish) {
            if (yielder.due()) {
                showProgress();
            }
            yielder.yield();
            return;
        }
        const Clock::time_point start = Clock::now();
        results.publish();
        showProgress();
        yielder.yield();
        const Clock::time_point end = Clock::now();
        nextPublish = end + kViewShare * (end - start);
    }
    bool stopped() const override { return progress.stopRequested(); }
    bool keepReadingLongLine() override {
        pause();
        return !stopped();
    }
    void quoteLeftOpen() override { ++openQuotes; }
    void overflowed(LineOverflows line) override {
        for (const IndexOverflow what :
             {IndexOverflow::StartNumber, IndexOverflow::StartPastLast, IndexOverflow::EndNumber,
              IndexOverflow::EndScan, IndexOverflow::LastColumn}) {
            const int label = labelOf(what);
            if (line.has(what) && reportedOverflows.insert(label).second) {
                proc.report(std::make_exception_ptr(std::overflow_error("Overflow")), label);
            }
        }
    }
};

ExtractCommand::ExtractCommand(const CommandContext& context) : context_(context) {}

void ExtractCommand::run(const FileEntries& files, const ExtractionControls& controls,
                         ResultsSink& results) {
    if (busy_) {
        return;
    }
    busy_ = true;
    const BusyGuard guard{busy_};
    ProtectedProcedure proc(context_.dialogs, formLocation(QStringLiteral("PushButton7_Click")));
    if (proc.test(104, [&] { return files.count() == 0; })) {
        proc.step(258,
                  [&] { showPlainMessage(context_.dialogs, QStringLiteral("No files added.")); });
        return;
    }
    if (!validateExtraction(proc, controls.extractionSettings())) {
        return;
    }
    const Outcome outcome = extractAll(proc, files, controls, results);
    results.publish();
    proc.step(254, [&] { context_.pointer.setPointer(PointerState::Default); });
    proc.step(256, [&] {
        const std::size_t leftOut = results.takeRowsLeftOut();
        reportRowsLeftOut(context_.dialogs, leftOut);
        showPlainMessage(context_.dialogs,
                         outcome.stopped
                             ? stoppedAfterRows(outcome.rows - static_cast<std::int64_t>(leftOut))
                             : QStringLiteral("Done."));
    });
}

ExtractCommand::Outcome ExtractCommand::extractAll(ProtectedProcedure& proc,
                                                   const FileEntries& files,
                                                   const ExtractionControls& controls,
                                                   ResultsSink& results) {
    const ProgressScope progress(context_.progress, QStringLiteral("Extracting columns"),
                                 CommandProgress::Counted::Rows);
    Run run(*this, proc, files, controls, results, chooseSeparatorSteps(proc, controls));
    int count = 0;
    proc.step(176, [&] { count = files.count(); });
    for (int position = 1; position <= count; ++position) {
        run.runBytes += QFileInfo(files.text(position)).size();
    }
    for (int position = 1; position <= count; ++position) {
        extractFile(run, position, count);
        if (context_.progress.stopRequested()) {
            return {true, run.results.rows()};
        }
    }
    return {false, run.results.rows()};
}

Separator ExtractCommand::chooseSeparatorSteps(ProtectedProcedure& proc,
                                               const ExtractionControls& controls) {
    static const struct {
        SeparatorChoice choice;
        int label;
    } fixed[] = {{SeparatorChoice::Space, 156},
                 {SeparatorChoice::CommaSpace, 160},
                 {SeparatorChoice::Comma, 164},
                 {SeparatorChoice::Tab, 168}};
    const ExtractionChoices panel = controls.extractionSettings();
    for (const auto& fixedChoice : fixed) {
        if (proc.test(fixedChoice.label, [&] { return panel.separator == fixedChoice.choice; })) {
            return separatorOf(panel);
        }
    }
    Separator separator;
    if (proc.test(172, [&] { return panel.separator == SeparatorChoice::Typed; })) {
        proc.step(174, [&] { separator = separatorOf(panel); });
    }
    return separator;
}

void ExtractCommand::extractFile(Run& run, int position, int count) {
    ProtectedProcedure& proc = run.proc;
    run.results.publish();
    run.showProgress();
    proc.step(178, [&] { context_.yielder.yield(); });
    if (context_.progress.stopRequested()) {
        return;
    }
    QString path;
    // An entry removed from the list while the run yielded is reported and skipped.
    if (!proc.step(180, [&] { path = run.files.text(position); })) {
        return;
    }
    proc.step(182, [&] { context_.pointer.setPointer(PointerState::Busy); });
    // A file that cannot be opened is reported and adds no rows; the run goes on.
    std::optional<InputFile> file;
    if (!proc.step(184, [&] { file.emplace(fs::nativePath(path)); })) {
        return;
    }
    // A failed read is reported here; the rows of the lines read before it stay.
    proc.step(246, [&] {
        LineExtractor extractor(run.separator, lineSettingsOf(run.controls.extractionSettings()));
        run.progress.file(position, count, QFileInfo(path).fileName());
        run.showProgress();
        ProgressBarSource source(*file, run.bytesRead);
        extractLines(source, extractor, run.results, run);
    });
    reportOpenQuotes(run, path);
}

// Quotes never closed are told once per file, after its rows.
void ExtractCommand::reportOpenQuotes(Run& run, const QString& path) {
    if (run.openQuotes == 0) {
        return;
    }
    run.results.publish();
    showPlainMessage(context_.dialogs,
                     QStringLiteral("%1 line(s) of %2 have a quote that is not closed within "
                                    "1 MiB: they were read from that quote on as unquoted text.")
                         .arg(run.openQuotes)
                         .arg(QFileInfo(path).fileName()));
    run.openQuotes = 0;
}

}  // namespace culvex
