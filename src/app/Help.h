#pragma once

#include "platform/Dialogs.h"

namespace culvex {

// "Help": where to ask questions.
void PushButton10_Click(Dialogs& dialogs);

}  // namespace culvex
