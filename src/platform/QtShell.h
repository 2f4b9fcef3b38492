#pragma once

#include "platform/Shell.h"

namespace culvex {

class QtShell final : public Shell {
public:
    bool openFolder(const QString& path) override;
};

}  // namespace culvex
