#include "command/PlainMessage.h"

#include "command/Titles.h"

namespace culvex {

void showPlainMessage(Dialogs& dialogs, const QString& text) {
    dialogs.message({text, shortTitle(), MessageIcon::None, MessageButtons::Ok});
}

bool askYesNo(Dialogs& dialogs, const QString& text) {
    return dialogs.message({text, shortTitle(), MessageIcon::None, MessageButtons::YesNo}) ==
           MessageAnswer::Yes;
}

}  // namespace culvex
