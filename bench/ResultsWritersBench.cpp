// The spaced and comma-delimited saves and the clipboard text over ten million rows.
#include "NoProgress.h"
#include "ResultsBenchSupport.h"
#include "engine/ResultsStore.h"
#include "output/ClipboardCopy.h"
#include "output/SaveComma.h"
#include "output/SaveList.h"
#include "platform/QtYielder.h"

#include <benchmark/benchmark.h>
#include <QFile>
#include <QTemporaryDir>

namespace culvex::bench {
namespace {

const ResultsStore& tenMillionRows() {
    static const ResultsStore& rows = *[] {
        auto* filled = new ResultsStore;
        appendRows(*filled, 0, kTenMillion);
        return filled;
    }();
    return rows;
}

using Writer = SaveEnd (*)(const ResultsStore&, const QString&, Dialogs&, Yielder&,
                           CommandProgress&);

void BM_Save(benchmark::State& state, Writer writer) {
    const ResultsStore& rows = tenMillionRows();
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("results.txt"));
    CountingDialogs dialogs;
    QtYielder yielder;
    NoProgress progress;
    std::int64_t bytes = 0;
    for (auto _ : state) {
        QFile::remove(target);
        static_cast<void>(writer(rows, target, dialogs, yielder, progress));
        bytes += QFile(target).size();
    }
    if (dialogs.messages != 0) {
        state.SkipWithError("the save showed a message");
    }
    state.SetBytesProcessed(bytes);
}

void BM_ClipboardText(benchmark::State& state) {
    const ResultsStore& rows = tenMillionRows();
    QtYielder yielder;
    NoProgress progress;
    std::int64_t characters = 0;
    resetPeakRss();
    for (auto _ : state) {
        const std::optional<QString> text =
            clipboardText(rows, yielder, progress, TextEncoding::Auto);
        characters += text->size();
    }
    state.counters["peak_MB"] = statusMb("VmHWM");
    state.SetBytesProcessed(characters);
}

BENCHMARK_CAPTURE(BM_Save, spaced, SaveListviewProperlySpaced)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Save, comma, SaveListviewAsCommaDelimToFile)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClipboardText)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace culvex::bench
