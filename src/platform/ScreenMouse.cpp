#include "platform/ScreenMouse.h"

#include <QCursor>

namespace culvex {

QPoint QtScreenMouse::position() const { return QCursor::pos(); }

}  // namespace culvex
