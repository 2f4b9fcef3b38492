#pragma once

#include "command/ProtectedProcedure.h"
#include "platform/CommonDialogState.h"

namespace culvex {

// Steps 112 and 114 of both result saves: shows the save dialog ("Save", text files or
// all files), opening with the name the window's file dialog last held, and keeps the
// chosen name for its next use. Empty text when the user cancelled.
QString askSaveTarget(ProtectedProcedure& proc, CommonDialogState& dialogState);

// True when something of that name already exists.
bool targetExists(const QString& target);

// Asks "Are you sure you wish to overwrite <name> ?"; true on Yes.
bool confirmOverwrite(Dialogs& dialogs, const QString& target);

}  // namespace culvex
