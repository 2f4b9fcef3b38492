// Times the folder scan of "Add All CSV File(s) In Folder" on a real tree: the breadth-first
// sub-folder walk, the per-folder listing and the appends to the file list model.
//
//   culvex_scan_bench FOLDER [EXTENSION]

#include "NoProgress.h"
#include "filelist/AddFolder.h"
#include "filelist/FileListModel.h"
#include "filelist/SubDirectories.h"
#include "platform/Dialogs.h"
#include "platform/FolderReader.h"
#include "platform/QtYielder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

// Scan failures go to the terminal instead of a message box.
class ConsoleDialogs final : public culvex::Dialogs {
public:
    culvex::MessageAnswer message(const culvex::MessageRequest& request) override {
        std::fprintf(stderr, "%s\n", qPrintable(request.text));
        return culvex::MessageAnswer::Ok;
    }
    std::optional<QString> input(const culvex::InputRequest&) override { return std::nullopt; }
    culvex::OpenFilesAnswer openFiles(const culvex::OpenFilesRequest&) override { return {}; }
    QString saveFile(const culvex::SaveFileRequest&) override { return {}; }
    QString browseFolder(const culvex::FolderRequest&) override { return {}; }
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [EXTENSION]\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString extension = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("csv");
    ConsoleDialogs dialogs;
    culvex::QtYielder yielder;
    culvex::NoProgress progress;
    culvex::FileListModel list;

    QElapsedTimer timer;
    timer.start();
    QStringList directories{folder + u'/'};
    const culvex::FolderScanServices services{culvex::systemFolderReader(), yielder, progress,
                                              dialogs};
    culvex::GetSubDirectories2016(directories, true, services);
    culvex::appendFolderFiles(list, directories, QStringLiteral("*.") + extension, services,
                              [](const std::exception_ptr&) {});
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const int files = list.count();

    timer.restart();
    list.clear();
    const double clearSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    std::printf("folders=%lld files=%d scan_seconds=%.3f clear_seconds=%.3f\n",
                static_cast<long long>(directories.size()), files, seconds, clearSeconds);
    return 0;
}
