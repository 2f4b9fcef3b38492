// Runs one command through the real main window, with scripted dialogs, and prints what it
// cost, including the longest time the window went without a turn of its event loop:
//   culvex_window_bench FILE                     "Extract Columns From File(s)" over FILE
//   culvex_window_bench save-text|save-comma|copy ROWS   a save or the copy of ROWS rows
//   culvex_window_bench scan FOLDER              "Add All CSV File(s) In Folder" on FOLDER
// Output: one line "seconds=... longest_gap_ms=... rows=... peak_rss_mb=... store_mb=...":
// the seconds from the click to the command's end (to the "Done." message for an
// extraction), the longest interval between two ticks of a 10 ms timer meanwhile (the
// longest the window could not repaint nor take a click), the results rows (files for a
// scan), the peak resident memory over the run and the results store's bytes. Extraction
// uses the comma separator and the other settings as a first start leaves them; every
// question is answered Yes, every message OK.
#include "LoopProbe.h"
#include "ResultsBenchSupport.h"
#include "app/Form1.h"
#include "filelist/FileListModel.h"
#include "output/ResultsCommands.h"
#include "output/ResultsModel.h"
#include "platform/QtClipboard.h"
#include "platform/QtSettingsStore.h"
#include "platform/QtShell.h"
#include "platform/QtYielder.h"
#include "platform/ScreenMouse.h"
#include "platform/Spreadsheet.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <cstdio>

namespace culvex::bench {
namespace {

// What the command under test asks for: the file to open or save, the folder to scan.
class TimedDialogs final : public Dialogs {
public:
    explicit TimedDialogs(QString path) : path_(std::move(path)) { clock_.start(); }
    MessageAnswer message(const MessageRequest& request) override {
        messages.append(request.text);
        endAt = clock_.nsecsElapsed();
        return request.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    std::optional<QString> input(const InputRequest&) override { return QStringLiteral("csv"); }
    OpenFilesAnswer openFiles(const OpenFilesRequest&) override { return {path_}; }
    QString saveFile(const SaveFileRequest&) override { return path_; }
    QString browseFolder(const FolderRequest&) override { return path_; }

    qint64 now() const { return clock_.nsecsElapsed(); }
    qint64 endAt = -1;
    QStringList messages;

private:
    QString path_;
    QElapsedTimer clock_;
};

template <class Control>
Control& control(const QWidget& form, const QString& name) {
    return *form.findChild<Control*>(name, Qt::FindChildrenRecursively);
}

ResultsModel& resultsOf(const QWidget& form) {
    return *qobject_cast<ResultsModel*>(
        control<QAbstractItemView>(form, QStringLiteral("ListView2")).model());
}

struct Command {
    int button;
    QStringList expectedMessages;
};

int run(const QString& mode, const QString& argument) {
    QTemporaryDir folder;
    const bool extract = mode == QStringLiteral("extract");
    const bool scan = mode == QStringLiteral("scan");
    const bool counted = !extract && !scan;
    TimedDialogs dialogs(counted ? folder.filePath(QStringLiteral("results.txt")) : argument);
    QtSettingsStore settings(folder.filePath(QStringLiteral("settings.ini")));
    QtClipboard clipboard;
    QtShell shell;
    QtYielder yielder;
    QtScreenMouse mouse;
    const std::unique_ptr<Spreadsheet> spreadsheet = makeSpreadsheet();
    Platform platform{dialogs, settings, clipboard, shell, yielder, mouse, *spreadsheet};
    Form1 window(platform, folder.path());
    window.Form_Load();
    window.show();
    QApplication::processEvents();
    ResultsModel& results = resultsOf(window);
    const QMap<QString, Command> commands{
        {QStringLiteral("extract"), {7, {QStringLiteral("Done.")}}},
        {QStringLiteral("save-text"), {6, {}}},
        {QStringLiteral("save-comma"), {2, {}}},
        {QStringLiteral("copy"), {8, {copiedMessage()}}},
        {QStringLiteral("scan"), {4, {}}},
    };
    if (extract) {
        control<QPushButton>(window, QStringLiteral("PushButton1")).click();
        control<QRadioButton>(window, QStringLiteral("Option9")).click();
    } else if (counted) {
        appendRows(results, 0, argument.toULongLong());
        results.publish();
    }
    QApplication::processEvents();

    const Command command = commands.value(mode);
    resetPeakRss();
    LoopProbe probe;
    const qint64 clickAt = dialogs.now();
    probe.start();
    control<QPushButton>(window, QStringLiteral("PushButton%1").arg(command.button)).click();
    const qint64 endAt = command.expectedMessages.isEmpty() ? dialogs.now() : dialogs.endAt;
    const double gap = probe.stopMs();
    const double peak = statusMb("VmHWM");
    if (dialogs.messages != command.expectedMessages) {
        std::fprintf(stderr, "the command showed other messages: %s\n",
                     qPrintable(dialogs.messages.join(u'|')));
        return 1;
    }
    const auto& files = *qobject_cast<FileListModel*>(
        control<QAbstractItemView>(window, QStringLiteral("ListView1")).model());
    std::printf("seconds=%.3f longest_gap_ms=%.1f rows=%zu peak_rss_mb=%.0f store_mb=%.0f\n",
                static_cast<double>(endAt - clickAt) / 1e9, gap,
                scan ? static_cast<std::size_t>(files.count()) : results.store().size(), peak,
                static_cast<double>(results.store().memoryBytes()) / (1 << 20));
    return 0;
}

}  // namespace
}  // namespace culvex::bench

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList modes{"save-text", "save-comma", "copy", "scan"};
    if (argc == 2) {
        return culvex::bench::run("extract", QString::fromLocal8Bit(argv[1]));
    }
    if (argc == 3 && modes.contains(QString::fromLocal8Bit(argv[1]))) {
        return culvex::bench::run(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    }
    std::fprintf(stderr, "usage: %s FILE | save-text|save-comma|copy ROWS | scan FOLDER\n",
                 argv[0]);
    return 2;
}
