#pragma once

#include "command/CommandContext.h"
#include "command/ProtectedProcedure.h"
#include "platform/CommonDialogState.h"

#include <chrono>
#include <memory>

namespace culvex {

class TextFileWriter;

// How a results writer ended: stopped by the user, or otherwise (saved, or after its
// failure was reported).
enum class SaveEnd { Ended, Stopped };

// Steps 112 and 114 of both result saves: shows the save dialog ("Save", text files or
// all files), opening with the name the window's file dialog last held, and keeps the
// chosen name for its next use. Empty text when the user cancelled.
QString askSaveTarget(ProtectedProcedure& proc, CommonDialogState& dialogState);

// True when something of that name already exists.
bool targetExists(const QString& target);

// Asks "Are you sure you wish to overwrite <name> ?"; true on Yes.
bool confirmOverwrite(Dialogs& dialogs, const QString& target);

// What the progress window says while the results are saved.
QString savingResults();

// Creates the writer of the target (in the system's encoding of its name); throws the
// system's description when it cannot. While a pipe's reader takes no bytes, the window
// stays live, a stop gives the save up, and so do ten minutes without a byte taken.
std::shared_ptr<TextFileWriter> openTarget(const QString& target, Yielder& yielder,
                                           CommandProgress& progress);

// Hands the bytes still held for a pipe on while the window stays live; false when the
// user asked to stop.
[[nodiscard]] bool sendHeld(TextFileWriter& file, const CommandProgress& progress);

// Puts the written file in place on a worker thread while the window stays live: making a
// large file durable takes longer than the window may go without repainting. Throws the
// writer's failure, or that the disk did not finish within the limit (ten minutes) before
// the file began to go into place.
void putInPlace(const std::shared_ptr<TextFileWriter>& file,
                std::chrono::milliseconds limit = std::chrono::minutes(10));

// The end of both save commands: the arrow pointer, which ends the busy state, and after
// a stop the notice that nothing was saved.
void endSave(const CommandContext& context, SaveEnd end);

}  // namespace culvex
