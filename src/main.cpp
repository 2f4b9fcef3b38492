#include "app/Form1.h"
#include "platform/FileSystem.h"
#include "platform/QtClipboard.h"
#include "platform/QtDialogs.h"
#include "platform/QtSettingsStore.h"
#include "platform/QtShell.h"
#include "platform/QtYielder.h"
#include "platform/ScreenMouse.h"
#include "platform/Spreadsheet.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

namespace {

// The arguments after the program name that Qt left (its own options are taken out), each
// kept as its bytes, so that a name in another encoding still opens.
QStringList givenFiles(int argc, char** argv) {
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        files.append(culvex::fs::pathFromNative(argv[i]));
    }
    return files;
}

// "--help" and "--version" answer on standard output instead of opening the window.
bool answeredOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::puts(
                "Usage: culvex [FILE]...\n"
                "Opens the Culvex window with the FILEs in its file list.\n"
                "To extract columns from the command line, see culvex-extract --help.");
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("culvex " CULVEX_VERSION);
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (answeredOption(argc, argv)) {
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    QApplication app(argc, argv);
    culvex::QtDialogs dialogs;
    culvex::QtSettingsStore settings;
    culvex::QtClipboard clipboard;
    culvex::QtShell shell;
    culvex::QtYielder yielder;
    culvex::QtScreenMouse mouse;
    // One spreadsheet connection for the program's life, so later exports reuse the office.
    const std::unique_ptr<culvex::Spreadsheet> spreadsheet = culvex::makeSpreadsheet();
    culvex::Platform platform{dialogs, settings, clipboard, shell, yielder, mouse, *spreadsheet};

    culvex::Form1 window(platform, QCoreApplication::applicationDirPath());
    dialogs.setParent(&window);
    window.Form_Load();
    window.addGivenFiles(givenFiles(argc, argv));
    window.show();
    return QApplication::exec();
}
