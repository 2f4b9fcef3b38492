#pragma once

#include "platform/Dialogs.h"

namespace culvex {

// "Help": where to ask questions.
void showHelp(Dialogs& dialogs);

}  // namespace culvex
