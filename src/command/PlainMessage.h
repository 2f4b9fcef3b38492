#pragma once

#include "platform/Dialogs.h"

namespace culvex {

// A notice or validation message: OK only, no icon, the short title as caption.
void showPlainMessage(Dialogs& dialogs, const QString& text);

// A Yes/No question without icon, the short title as caption; true on Yes.
bool askYesNo(Dialogs& dialogs, const QString& text);

}  // namespace culvex
