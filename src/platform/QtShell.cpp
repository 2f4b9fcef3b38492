#include "platform/QtShell.h"

#include <QDesktopServices>
#include <QUrl>

namespace culvex {

bool QtShell::openFolder(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace culvex
