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

LineSettings snapshotLineSettings(const ExtractionControls& controls) {
    LineSettings settings;
    settings.byRange = controls.check1Value() == 1;
    settings.startByNumber = controls.isOptionSelected(1);
    settings.startByMarker = controls.isOptionSelected(2);
    settings.endByNumber = controls.isOptionSelected(3);
    settings.endByMarker = controls.isOptionSelected(4);
    settings.startIndex = columnIndexOfText(controls.text(1));
    settings.endIndex = columnIndexOfText(controls.text(3));
    settings.startMarker = toCodePageText(controls.text(2));
    settings.endMarker = toCodePageText(controls.text(4));
    return settings;
}

}  // namespace culvex
