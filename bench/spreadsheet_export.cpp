// Time from "Save Results As Excel File" to the filled workbook shown in LibreOffice Calc,
// for result lists of typical extracted values (numbers, text, percentages, dates), and the
// longest the window went without a turn of its event loop meanwhile (longest_gap_ms).
// Run it through bench/spreadsheet_export.sh, which gives the office a headless display and
// a profile of its own.

#include "LoopProbe.h"
#include "NoProgress.h"
#include "command/CommandContext.h"
#include "command/WindowPointer.h"
#include "output/SpreadsheetExport.h"
#include "platform/LibreOfficeSpreadsheet.h"
#include "platform/QtYielder.h"

#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XFramesSupplier.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <string>

namespace culvex {
namespace {

class SilentDialogs final : public Dialogs {
public:
    int shown = 0;
    // Counts the messages and shows each on stderr: a run that met one measured something
    // other than a clean export.
    MessageAnswer message(const MessageRequest& request) override {
        ++shown;
        std::fprintf(stderr, "message: %s\n", qUtf8Printable(request.text));
        return MessageAnswer::Ok;
    }
    std::optional<QString> input(const InputRequest&) override { return {}; }
    OpenFilesAnswer openFiles(const OpenFilesRequest&) override { return {}; }
    QString saveFile(const SaveFileRequest&) override { return {}; }
    QString browseFolder(const FolderRequest&) override { return {}; }
};

class Pointer final : public WindowPointer {
public:
    void setPointer(PointerState state) override { state_ = state; }
    PointerState pointer() const override { return state_; }

private:
    PointerState state_ = PointerState::Default;
};

// The export reads no settings.
class NoSettings final : public SettingsStore {
public:
    std::optional<QString> read(const QString&) const override { return {}; }
    void write(const QString&, const QString&) override {}
    void beginBatch() override {}
    void endBatch() override {}
};

// Runs `work` and shows a failure of the office on stderr instead of ending the program;
// true when there was none.
template <class Work>
bool reportOfficeFailure(const char* what, Work&& work) {
    try {
        work();
        return true;
    } catch (const css::uno::Exception& e) {
        std::fprintf(stderr, "%s: %s\n", what, e.Message.toUtf8().getStr());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", what, e.what());
    }
    return false;
}

// Keeps the documents the export opens so that each run can close its own afterwards, and
// ends the office through the export's own connection when the benchmark is done.
class ClosingSpreadsheet final : public Spreadsheet {
public:
    std::vector<css::uno::Reference<css::lang::XComponent>> documents;
    css::uno::Reference<css::frame::XDesktop> desktop;

    ~ClosingSpreadsheet() override {
        if (desktop.is()) {
            reportOfficeFailure("ending the office", [&] { desktop->terminate(); });
        }
    }

    std::unique_ptr<SpreadsheetApplication> createApplication() override {
        return std::make_unique<Application>(real_.createApplication(), *this);
    }
    // An office ended after a time limit took its documents with it: that is reported, and
    // the next run starts a new office.
    void closeAll() {
        for (const auto& document : std::exchange(documents, {})) {
            reportOfficeFailure("closing the workbook", [&] {
                css::uno::Reference<css::util::XCloseable>(document, css::uno::UNO_QUERY_THROW)
                    ->close(true);
            });
        }
    }

private:
    class Application final : public SpreadsheetApplication {
    public:
        Application(std::unique_ptr<SpreadsheetApplication> real, ClosingSpreadsheet& owner)
            : real_(std::move(real)), owner_(owner) {}
        std::unique_ptr<SpreadsheetWorkbook> addWorkbook() override {
            auto book = real_->addWorkbook();
            const auto& document = dynamic_cast<LibreOfficeWorkbook&>(*book).component();
            owner_.documents.push_back(document);
            owner_.desktop.set(
                css::uno::Reference<css::frame::XModel>(document, css::uno::UNO_QUERY_THROW)
                    ->getCurrentController()
                    ->getFrame()
                    ->getCreator(),
                css::uno::UNO_QUERY);
            return book;
        }
        void makeVisible() override { real_->makeVisible(); }

    private:
        std::unique_ptr<SpreadsheetApplication> real_;
        ClosingSpreadsheet& owner_;
    };
    LibreOfficeSpreadsheet real_;
};

std::string typicalValue(int i) {
    switch (i % 4) {
        case 0:
            return std::to_string(i);
        case 1:
            return "item " + std::to_string(i);
        case 2:
            return std::to_string(i % 100) + "%";
        default:
            return std::to_string(1 + i % 12) + "/" + std::to_string(1 + i % 28) + "/2021";
    }
}

void BM_ExportToCalc(benchmark::State& state) {
    ResultsModel results;
    for (int i = 0; i < state.range(0); ++i) {
        results.append(typicalValue(i));
    }
    ClosingSpreadsheet spreadsheet;
    SilentDialogs dialogs;
    QtYielder yielder;
    NoProgress progress;
    Pointer pointer;
    CommonDialogState dialogState;
    NoSettings settings;
    const CommandContext context{dialogs, yielder, progress, pointer, dialogState, settings, {}};
    bench::LoopProbe probe;
    double longestGap = 0;
    int failures = 0;
    for (auto _ : state) {
        probe.start();
        if (!reportOfficeFailure("export",
                                 [&] { exportToSpreadsheet(results, spreadsheet, context); })) {
            ++failures;
        }
        longestGap = std::max(longestGap, probe.stopMs());
        state.PauseTiming();
        spreadsheet.closeAll();
        state.ResumeTiming();
    }
    state.counters["messages"] = dialogs.shown;
    state.counters["failures"] = failures;
    state.counters["longest_gap_ms"] = longestGap;
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(state.range(0)),
                                                  benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ExportToCalc)
    ->Arg(1000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

}  // namespace
}  // namespace culvex

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
