// Times the preview window over files of any size, headless, and prints what it cost:
//   culvex_preview_bench FILE [FILE...]
// For each file, one line:
//   file=... open_ms=... change_ms_median=... change_ms_max=... longest_gap_ms=...
//   rss_growth_mb=... peak_growth_mb=...
// open_ms: from opening the window to its first full table, painted; change_ms: from a
// change of the settings (separator, range, encoding, in turn; 20 changes) to the table
// painted anew; longest_gap_ms: the longest interval between two ticks of a 10 ms timer
// over all of it (the longest the main window could not repaint nor take a click);
// rss_growth_mb and peak_growth_mb: resident memory after the run and its peak, less what
// the process held before the window was made.
#include "LoopProbe.h"
#include "preview/PreviewWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace culvex::bench {
namespace {

class MemorySettings final : public SettingsStore {
public:
    std::optional<QString> read(const QString& key) const override {
        const auto found = values_.find(key);
        return found == values_.end() ? std::nullopt : std::optional<QString>(found->second);
    }
    void write(const QString& key, const QString& value) override { values_[key] = value; }

protected:
    void beginBatch() override {}
    void endBatch() override {}

private:
    std::map<QString, QString> values_;
};

class Host final : public PreviewHost {
public:
    explicit Host(QString file) : file_(std::move(file)) {
        choices.separator = SeparatorChoice::Comma;
    }
    ExtractionChoices extractionSettings() const override { return choices; }
    QString previewedFile() const override { return file_; }
    void useSeparator(SeparatorChoice choice, const QString&) override {
        choices.separator = choice;
    }
    ExtractionChoices choices;

private:
    QString file_;
};

// A field of /proc/self/status in MiB.
double statusMb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == field) {
            double kb = 0;
            status >> kb;
            return kb / 1024.0;
        }
    }
    return 0;
}

// Milliseconds until the preview shows its table, painted.
double timeUntilShown(PreviewWindow& preview, const std::function<void()>& start) {
    QElapsedTimer clock;
    QEventLoop loop;
    const auto connection =
        QObject::connect(&preview, &PreviewWindow::updated, &loop, &QEventLoop::quit);
    clock.start();
    start();
    loop.exec();
    QObject::disconnect(connection);
    preview.repaint();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// Changes one setting, in turn the separator, the range and the encoding.
void change(Host& host, int step) {
    ExtractionChoices& c = host.choices;
    switch (step % 3) {
        case 0:
            c.separator = c.separator == SeparatorChoice::Comma ? SeparatorChoice::Space
                                                                : SeparatorChoice::Comma;
            break;
        case 1:
            c.rangeOn = !c.rangeOn;
            c.startByNumber = c.endByNumber = true;
            c.startNumber = std::to_string(2);
            c.endNumber = std::to_string(3 + step % 7);
            break;
        default:
            c.encoding = c.encoding == TextEncoding::Auto ? TextEncoding::Utf8 : TextEncoding::Auto;
            break;
    }
}

void run(const QString& file) {
    const double rssBefore = statusMb("VmRSS:");
    const double peakBefore = statusMb("VmHWM:");
    Host host(file);
    MemorySettings settings;
    PreviewWindow preview(host, settings, nullptr);
    LoopProbe probe;
    probe.start();
    const double openMs = timeUntilShown(preview, [&] { preview.open(); });
    std::vector<double> changes;
    for (int step = 0; step < 20; ++step) {
        changes.push_back(timeUntilShown(preview, [&] {
            change(host, step);
            preview.refresh();
        }));
    }
    const double gapMs = probe.stopMs();
    std::sort(changes.begin(), changes.end());
    std::printf(
        "file=%s open_ms=%.1f change_ms_median=%.2f change_ms_max=%.2f longest_gap_ms=%.1f "
        "rss_growth_mb=%.1f peak_growth_mb=%.1f\n",
        qPrintable(file), openMs, changes[changes.size() / 2], changes.back(), gapMs,
        statusMb("VmRSS:") - rssBefore, statusMb("VmHWM:") - peakBefore);
}

}  // namespace
}  // namespace culvex::bench

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    for (int i = 1; i < argc; ++i) {
        culvex::bench::run(QString::fromLocal8Bit(argv[i]));
    }
    return 0;
}
