#include "command/PlainMessage.h"

#include "command/Titles.h"

#include <QLocale>

namespace culvex {

void showPlainMessage(Dialogs& dialogs, const QString& text) {
    dialogs.message({text, shortTitle(), MessageIcon::None, MessageButtons::Ok});
}

// The count grouped as the progress window shows it.
QString stoppedAfterRows(std::int64_t rows) {
    return QStringLiteral("Stopped after %1 rows.")
        .arg(QLocale().toString(static_cast<qlonglong>(rows)));
}

bool askYesNo(Dialogs& dialogs, const QString& text) {
    return dialogs.message({text, shortTitle(), MessageIcon::None, MessageButtons::YesNo}) ==
           MessageAnswer::Yes;
}

}  // namespace culvex
