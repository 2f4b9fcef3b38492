#include "output/SaveTarget.h"

#include "command/PlainMessage.h"

#include <QFileInfo>

namespace culvex {

QString askSaveTarget(ProtectedProcedure& proc, CommonDialogState& dialogState) {
    const SaveFileRequest request{QStringLiteral("Save"),
                                  QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"),
                                  dialogState.fileName};
    QString target;
    proc.step(112, [&] { target = proc.dialogs().saveFile(request); });
    proc.step(114, [&] {
        if (!target.isEmpty()) {
            dialogState.fileName = target;
        }
    });
    return target;
}

bool targetExists(const QString& target) { return QFileInfo(target).lastModified().isValid(); }

bool confirmOverwrite(Dialogs& dialogs, const QString& target) {
    return askYesNo(dialogs, QStringLiteral("Are you sure you wish to overwrite ") + target +
                                 QStringLiteral(" ?"));
}

}  // namespace culvex
