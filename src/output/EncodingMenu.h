#pragma once

#include "engine/TextEncoding.h"

#include <QString>
#include <functional>

class QMenu;
class QWidget;

namespace culvex {

// The texts of the Encoding setting: "Auto", "Windows-1252" and "UTF-8".
QString encodingName(TextEncoding encoding);

// A stored text as an encoding, letter case ignored; any other text reads as Auto.
TextEncoding encodingNamed(const QString& name);

// The results list's context menu: "Text encoding" with the three choices, the current
// one checked. Choosing one calls `chosen` with it.
QMenu* makeEncodingMenu(QWidget* parent, TextEncoding current,
                        std::function<void(TextEncoding)> chosen);

}  // namespace culvex
