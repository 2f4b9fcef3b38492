#pragma once

#include <QString>

namespace culvex {

// The desktop shell: opens a folder in the user's file manager.
class Shell {
public:
    virtual ~Shell() = default;
    // True when the shell accepted the request.
    virtual bool openFolder(const QString& path) = 0;
};

}  // namespace culvex
