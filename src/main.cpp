#include "app/Form1.h"
#include "platform/QtClipboard.h"
#include "platform/QtDialogs.h"
#include "platform/QtSettingsStore.h"
#include "platform/QtShell.h"
#include "platform/QtYielder.h"
#include "platform/ScreenMouse.h"
#include "platform/Spreadsheet.h"

#include <QApplication>

int main(int argc, char** argv) {
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
    window.show();
    return QApplication::exec();
}
