#include "output/SaveTarget.h"

#include "command/PlainMessage.h"
#include "engine/TextFileWriter.h"
#include "platform/BlockingCall.h"

#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <stdexcept>

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

QString savingResults() { return QStringLiteral("Saving results"); }

std::shared_ptr<TextFileWriter> openTarget(const QString& target) {
    return std::make_shared<TextFileWriter>(QFile::encodeName(target).toStdString());
}

// A disk that has not finished in ten minutes is taken as failed; the worker keeps the
// writer until it ends and then leaves the target as it was.
void putInPlace(const std::shared_ptr<TextFileWriter>& file) {
    constexpr std::chrono::minutes kLimit{10};
    if (!runBlocking([file] { file->close(); }, kLimit)) {
        file->abandon();
        throw std::runtime_error("The disk did not finish writing the file within 10 minutes");
    }
}

void endSave(const CommandContext& context, SaveEnd end) {
    context.pointer.setPointer(PointerState::Arrow);
    if (end == SaveEnd::Stopped) {
        showPlainMessage(context.dialogs, QStringLiteral("The results were not saved."));
    }
}

}  // namespace culvex
