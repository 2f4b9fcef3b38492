#include "extract/ExtractCommand.h"

#include "command/PlainMessage.h"
#include "engine/FileExtraction.h"
#include "engine/InputFile.h"
#include "extract/CodePageText.h"
#include "extract/ControlsSnapshot.h"
#include "extract/ExtractValidation.h"

#include <QFile>
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
    ResultsSink& results;
    Separator separator;
    // An overflow is reported once per step label and run, not once per line.
    std::set<int> reportedOverflows;

    Run(ExtractCommand& c, ProtectedProcedure& p, const FileEntries& f, const ExtractionControls& e,
        ResultsSink& r, Separator s)
        : command(c), proc(p), files(f), controls(e), results(r), separator(std::move(s)) {}

    void pause() override {
        results.publish();
        command.context_.yielder.yield();
    }
    void overflowed(IndexOverflow what) override {
        const int label = labelOf(what);
        if (reportedOverflows.insert(label).second) {
            proc.report(std::make_exception_ptr(std::overflow_error("Overflow")), label);
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
    extractAll(proc, files, controls, results);
    results.publish();
    proc.step(254, [&] { context_.pointer.setPointer(PointerState::Default); });
    proc.step(256, [&] { showPlainMessage(context_.dialogs, QStringLiteral("Done.")); });
}

void ExtractCommand::extractAll(ProtectedProcedure& proc, const FileEntries& files,
                                const ExtractionControls& controls, ResultsSink& results) {
    Run run(*this, proc, files, controls, results, chooseSeparatorSteps(proc, controls));
    int count = 0;
    proc.step(176, [&] { count = files.count(); });
    for (int position = 1; position <= count; ++position) {
        extractFile(run, position);
    }
}

Separator ExtractCommand::chooseSeparatorSteps(ProtectedProcedure& proc,
                                               const ExtractionControls& controls) {
    static const struct {
        SeparatorChoice choice;
        int label;
        const char* separator;
    } fixed[] = {{SeparatorChoice::Space, 156, " "},
                 {SeparatorChoice::CommaSpace, 160, ", "},
                 {SeparatorChoice::Comma, 164, ","},
                 {SeparatorChoice::Tab, 168, "\t"}};
    const ExtractionSettings panel = controls.extractionSettings();
    for (const auto& fixedChoice : fixed) {
        if (proc.test(fixedChoice.label, [&] { return panel.separator == fixedChoice.choice; })) {
            return Separator(fixedChoice.separator);
        }
    }
    Separator separator;
    if (proc.test(172, [&] { return panel.separator == SeparatorChoice::Typed; })) {
        proc.step(174, [&] {
            const CodePageText text = toCodePageText(panel.typedSeparator);
            separator = Separator(text.bytes, text.representable);
        });
    }
    return separator;
}

void ExtractCommand::extractFile(Run& run, int position) {
    ProtectedProcedure& proc = run.proc;
    run.results.publish();
    proc.step(178, [&] { context_.yielder.yield(); });
    QString path;
    // An entry removed from the list while the run yielded is reported and skipped.
    if (!proc.step(180, [&] { path = run.files.text(position); })) {
        return;
    }
    proc.step(182, [&] { context_.pointer.setPointer(PointerState::Busy); });
    // A file that cannot be opened is reported and adds no rows; the run goes on.
    std::optional<InputFile> file;
    if (!proc.step(184, [&] { file.emplace(QFile::encodeName(path).toStdString()); })) {
        return;
    }
    // A failed read is reported here; the rows of the lines read before it stay.
    proc.step(246, [&] {
        LineExtractor extractor(run.separator,
                                snapshotLineSettings(run.controls.extractionSettings()));
        extractLines(*file, extractor, run.results, run);
    });
}

}  // namespace culvex
