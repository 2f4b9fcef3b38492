#include "app/Help.h"

#include "app/PlainMessage.h"
#include "app/ProtectedProcedure.h"
#include "app/Titles.h"

namespace culvex {

void PushButton10_Click(Dialogs& dialogs) {
    ProtectedProcedure proc(dialogs, formLocation(QStringLiteral("PushButton10_Click")));
    proc.step(100, [&] {
        showPlainMessage(dialogs, QStringLiteral("Questions? Please contact Team Quillbrook at ") +
                                      supportPage());
    });
}

}  // namespace culvex
