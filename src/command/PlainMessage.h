#pragma once

#include "platform/Dialogs.h"

#include <cstdint>

namespace culvex {

// A notice or validation message: OK only, no icon, the short title as caption.
void showPlainMessage(Dialogs& dialogs, const QString& text);

// What a command that makes or sends rows says when the user stopped it.
QString stoppedAfterRows(std::int64_t rows);

// A Yes/No question without icon, the short title as caption; true on Yes.
bool askYesNo(Dialogs& dialogs, const QString& text);

}  // namespace culvex
