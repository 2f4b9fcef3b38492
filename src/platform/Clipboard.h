#pragma once

#include <QString>

namespace culvex {

// One attempt at a clipboard operation; false when the clipboard refused it
// (for example while another program holds it open).
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual bool tryClear() = 0;
    virtual bool trySetText(const QString& text) = 0;
};

}  // namespace culvex
