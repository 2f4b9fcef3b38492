#pragma once

#include <QPoint>

namespace culvex {

// Where the mouse pointer is on the screen, in pixels from the screen's top-left corner.
class ScreenMouse {
public:
    virtual ~ScreenMouse() = default;
    virtual QPoint position() const = 0;
};

class QtScreenMouse final : public ScreenMouse {
public:
    QPoint position() const override;
};

}  // namespace culvex
