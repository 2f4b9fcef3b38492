#include "extract/ControlsSnapshot.h"

#include "extract/CodePageText.h"

namespace culvex {
namespace {

ColumnIndex columnIndexOfText(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return columnIndexOf(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace

LineSettings snapshotLineSettings(const ExtractionSettings& panel) {
    LineSettings settings;
    settings.byRange = panel.rangeOn;
    settings.startByNumber = panel.startByNumber;
    settings.startByMarker = panel.startByMarker;
    settings.endByNumber = panel.endByNumber;
    settings.endByMarker = panel.endByMarker;
    settings.startIndex = columnIndexOfText(panel.startNumber);
    settings.endIndex = columnIndexOfText(panel.endNumber);
    settings.startMarker = toCodePageText(panel.startMarker);
    settings.endMarker = toCodePageText(panel.endMarker);
    settings.encoding = panel.encoding;
    settings.fold = foldCharacter;
    return settings;
}

}  // namespace culvex
