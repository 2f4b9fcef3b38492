#include "output/SaveTarget.h"

#include "command/PlainMessage.h"
#include "engine/TextFileWriter.h"
#include "platform/BlockingCall.h"

#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <future>
#include <stdexcept>

namespace culvex {

namespace {

// How long a pipe's reader may take no bytes before the save gives up.
constexpr auto kReaderPatience = std::chrono::minutes(10);

}  // namespace

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

std::shared_ptr<TextFileWriter> openTarget(const QString& target, Yielder& yielder,
                                           CommandProgress& progress) {
    auto file = std::make_shared<TextFileWriter>(QFile::encodeName(target).toStdString());
    file->whileWaiting([&yielder, &progress](std::chrono::milliseconds waited) {
        yielder.yield();
        return !progress.stopRequested() && waited < kReaderPatience;
    });
    return file;
}

bool sendHeld(TextFileWriter& file, const CommandProgress& progress) {
    file.sendHeld();
    return !progress.stopRequested();
}

// A disk that has not finished in time is taken as failed; the worker keeps the writer
// until it ends and then leaves the target as it was. When the file was already going into
// place as the time ran out, the save ends as that does, and says so truly.
void putInPlace(const std::shared_ptr<TextFileWriter>& file, std::chrono::milliseconds limit) {
    // The worker must not run the window's event loop: nothing is left to wait for there.
    file->whileWaiting({});
    auto closed = std::make_shared<std::promise<void>>();
    const std::shared_future<void> outcome = closed->get_future().share();
    const auto close = [file, closed] {
        try {
            file->close();
            closed->set_value();
        } catch (...) {
            closed->set_exception(std::current_exception());
            throw;
        }
    };
    if (runBlocking(close, limit)) {
        return;
    }
    if (file->abandon()) {
        throw std::runtime_error("The disk did not finish writing the file within 10 minutes");
    }
    while (!runBlocking([outcome] { outcome.wait(); }, limit)) {
    }
    outcome.get();
}

void endSave(const CommandContext& context, SaveEnd end) {
    context.pointer.setPointer(PointerState::Arrow);
    if (end == SaveEnd::Stopped) {
        showPlainMessage(context.dialogs, QStringLiteral("The results were not saved."));
    }
}

}  // namespace culvex
