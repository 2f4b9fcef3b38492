#include "app/Help.h"

#include "command/PlainMessage.h"
#include "command/ProtectedProcedure.h"
#include "command/Titles.h"

namespace culvex {

void showHelp(Dialogs& dialogs) {
    ProtectedProcedure proc(dialogs, formLocation(QStringLiteral("PushButton10_Click")));
    proc.step(100, [&] {
        showPlainMessage(dialogs, QStringLiteral("Questions? Please contact Team Quillbrook at ") +
                                      supportPage());
    });
}

}  // namespace culvex
