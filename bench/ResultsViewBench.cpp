// The results list with ten million rows: fill while the window runs its event loop
// between batches, first paint, scroll to the end, remove the first row, clear. Compares the
// window's own results view with a one-column table view, QListView and QTreeView. Then the
// results view over one very long row: first paint, repaints and clear.
#include "ResultsBenchSupport.h"
#include "app/ReportView.h"
#include "output/ResultsModel.h"
#include "output/ResultsView.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QTableView>
#include <QTreeView>
#include <algorithm>
#include <memory>
#include <string>

namespace culvex::bench {
namespace {

// Rows published per batch, about what an extraction run appends between two yields.
constexpr std::size_t kBatch = 65'536;

enum class ViewKind { Results, Table, List, Tree };

std::unique_ptr<QAbstractItemView> makeView(ViewKind kind, ResultsModel& model) {
    switch (kind) {
        case ViewKind::Results: {
            auto view = std::make_unique<ResultsView>();
            view->setModel(&model);
            return view;
        }
        case ViewKind::Table: {
            auto view = std::make_unique<QTableView>();
            configureReportView(*view, model);
            return view;
        }
        case ViewKind::List: {
            auto view = std::make_unique<QListView>();
            view->setUniformItemSizes(true);
            view->setModel(&model);
            return view;
        }
        case ViewKind::Tree: {
            auto view = std::make_unique<QTreeView>();
            view->setUniformRowHeights(true);
            view->setRootIsDecorated(false);
            view->setModel(&model);
            return view;
        }
    }
    return nullptr;
}

void settle(QAbstractItemView& view) {
    QApplication::processEvents();
    view.viewport()->repaint();
}

double seconds(QElapsedTimer& timer) {
    const double s = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    timer.restart();
    return s;
}

void BM_ResultsView(benchmark::State& state, ViewKind kind) {
    const auto rows = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        const double before = statusMb("VmRSS");
        auto model = std::make_unique<ResultsModel>();
        auto view = makeView(kind, *model);
        view->resize(400, 600);
        view->show();
        settle(*view);
        resetPeakRss();
        QElapsedTimer timer;
        timer.start();
        for (std::size_t first = 0; first < rows; first += kBatch) {
            appendRows(*model, first, std::min(kBatch, rows - first));
            model->publish();
            QApplication::processEvents();
        }
        settle(*view);
        state.counters["fill_paint_s"] = seconds(timer);
        state.counters["fill_peak_MB"] = statusMb("VmHWM");
        view->scrollToBottom();
        settle(*view);
        state.counters["scroll_s"] = seconds(timer);
        model->removeAt(0);
        settle(*view);
        state.counters["remove_first_s"] = seconds(timer);
        model->clear();
        settle(*view);
        state.counters["clear_s"] = seconds(timer);
        state.counters["rss_before_MB"] = before;
        state.counters["rss_after_clear_MB"] = statusMb("VmRSS");
    }
}

BENCHMARK_CAPTURE(BM_ResultsView, results, ViewKind::Results)
    ->Arg(1'000'000)
    ->Arg(kTenMillion)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ResultsView, table, ViewKind::Table)
    ->Arg(1'000'000)
    ->Arg(kTenMillion)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ResultsView, list, ViewKind::List)
    ->Arg(1'000'000)
    ->Arg(kTenMillion)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ResultsView, tree, ViewKind::Tree)
    ->Arg(1'000'000)
    ->Arg(kTenMillion)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// One row of range(0) bytes between two short ones; every repaint lays out the shown part of
// the long row. repaint_max_ms is the slowest of ten repaints.
void BM_ResultsViewLongRow(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        auto model = std::make_unique<ResultsModel>();
        model->append("before");
        model->append(std::string(bytes, 'x'));
        model->append("after");
        auto view = makeView(ViewKind::Results, *model);
        view->resize(400, 600);
        view->show();
        QElapsedTimer timer;
        timer.start();
        model->publish();
        settle(*view);
        state.counters["first_paint_s"] = seconds(timer);
        double slowest = 0;
        for (int i = 0; i < 10; ++i) {
            view->viewport()->repaint();
            slowest = std::max(slowest, seconds(timer));
        }
        state.counters["repaint_max_ms"] = slowest * 1000;
        model->clear();
        settle(*view);
        state.counters["clear_s"] = seconds(timer);
        state.counters["rss_after_clear_MB"] = statusMb("VmRSS");
    }
}

BENCHMARK(BM_ResultsViewLongRow)
    ->Arg(std::int64_t{16} << 20)
    ->Arg(std::int64_t{160} << 20)
    ->Arg(std::int64_t{1} << 30)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace culvex::bench
