// Runs "Extract Columns From File(s)" through the real main window over one file, with the
// comma separator and the other settings as a first start leaves them, and prints what it
// cost:
//   culvex_window_bench FILE
// Output: one line "seconds=... rows=... peak_rss_mb=... store_mb=...", the seconds from the
// click to the "Done." message, the window's peak resident memory over that run and the
// results store's bytes. The dialogs are scripted: the open dialog answers FILE, every
// message is answered at once.
#include "ResultsBenchSupport.h"
#include "app/Form1.h"
#include "output/ResultsModel.h"
#include "output/ResultsView.h"
#include "platform/QtClipboard.h"
#include "platform/QtSettingsStore.h"
#include "platform/QtShell.h"
#include "platform/QtYielder.h"
#include "platform/ScreenMouse.h"
#include "platform/Spreadsheet.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <cstdio>

namespace culvex::bench {
namespace {

class TimedDialogs final : public Dialogs {
public:
    explicit TimedDialogs(QString file) : file_(std::move(file)) { clock_.start(); }
    MessageAnswer message(const MessageRequest& request) override {
        if (request.text == QStringLiteral("Done.")) {
            doneAt = clock_.nsecsElapsed();
        } else {
            otherMessages.append(request.text);
        }
        return request.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    std::optional<QString> input(const InputRequest&) override { return std::nullopt; }
    OpenFilesAnswer openFiles(const OpenFilesRequest&) override { return {file_}; }
    QString saveFile(const SaveFileRequest&) override { return {}; }
    QString browseFolder(const FolderRequest&) override { return {}; }

    qint64 now() const { return clock_.nsecsElapsed(); }
    qint64 doneAt = -1;
    QStringList otherMessages;

private:
    QString file_;
    QElapsedTimer clock_;
};

template <class Control>
Control& control(const QWidget& form, const QString& name) {
    return *form.findChild<Control*>(name, Qt::FindChildrenRecursively);
}

int run(const QString& file) {
    QTemporaryDir folder;
    TimedDialogs dialogs(file);
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
    control<QPushButton>(window, QStringLiteral("PushButton1")).click();
    control<QRadioButton>(window, QStringLiteral("Option9")).click();
    QApplication::processEvents();

    resetPeakRss();
    const qint64 clickAt = dialogs.now();
    control<QPushButton>(window, QStringLiteral("PushButton7")).click();
    const double peak = statusMb("VmHWM");
    if (dialogs.doneAt < 0 || !dialogs.otherMessages.isEmpty()) {
        std::fprintf(stderr, "the run did not end with \"Done.\" alone: %s\n",
                     qPrintable(dialogs.otherMessages.join(u'|')));
        return 1;
    }
    const auto& model = *qobject_cast<ResultsModel*>(
        control<ResultsView>(window, QStringLiteral("ListView2")).model());
    std::printf("seconds=%.3f rows=%zu peak_rss_mb=%.0f store_mb=%.0f\n",
                static_cast<double>(dialogs.doneAt - clickAt) / 1e9, model.store().size(), peak,
                static_cast<double>(model.store().memoryBytes()) / (1 << 20));
    return 0;
}

}  // namespace
}  // namespace culvex::bench

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    return culvex::bench::run(QString::fromLocal8Bit(argv[1]));
}
