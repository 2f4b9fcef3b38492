#pragma once

#include "platform/Clipboard.h"

namespace culvex {

class QtClipboard final : public Clipboard {
public:
    bool tryClear() override;
    bool trySetText(const QString& text) override;
};

}  // namespace culvex
