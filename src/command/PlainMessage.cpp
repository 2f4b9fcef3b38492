#include "command/PlainMessage.h"

#include "command/Titles.h"

namespace culvex {

void showPlainMessage(Dialogs& dialogs, const QString& text) {
    dialogs.message({text, shortTitle(), MessageIcon::None, MessageButtons::Ok});
}

QString stoppedAfterRows(std::int64_t rows) {
    return QStringLiteral("Stopped after %1 rows.").arg(rows);
}

bool askYesNo(Dialogs& dialogs, const QString& text) {
    return dialogs.message({text, shortTitle(), MessageIcon::None, MessageButtons::YesNo}) ==
           MessageAnswer::Yes;
}

}  // namespace culvex
