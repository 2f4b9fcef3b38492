#include "app/CursorFile.h"

#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>
#include <stdexcept>

namespace culvex {

namespace {

// A .cur file starts with a 6-byte header (reserved, type 2, count) and then directory
// entries whose bytes 4 to 7 hold the hot spot's x and y.
QPoint curHotSpot(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {-1, -1};
    }
    const QByteArray head = file.read(14);
    if (head.size() < 14 || qFromLittleEndian<quint16>(head.constData() + 2) != 2) {
        return {-1, -1};
    }
    return {qFromLittleEndian<quint16>(head.constData() + 10),
            qFromLittleEndian<quint16>(head.constData() + 12)};
}

}  // namespace

QCursor loadCursorFile(const QString& path) {
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull()) {
        throw std::runtime_error(reader.errorString().toStdString());
    }
    const QPoint hotSpot = curHotSpot(path);
    return QCursor(QPixmap::fromImage(image), hotSpot.x(), hotSpot.y());
}

}  // namespace culvex
