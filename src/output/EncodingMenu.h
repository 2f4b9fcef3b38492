#pragma once

#include "choices/ExtractionChoices.h"

#include <QString>
#include <functional>

class QMenu;
class QWidget;

namespace culvex {

// The Encoding setting's texts (encodingName and encodingNamed) as the window's store
// holds them.
QString encodingText(TextEncoding encoding);
TextEncoding encodingOfText(const QString& text);

// The results list's context menu: "Text encoding" with the three choices, the current
// one checked. Choosing one calls `chosen` with it.
QMenu* makeEncodingMenu(QWidget* parent, TextEncoding current,
                        std::function<void(TextEncoding)> chosen);

}  // namespace culvex
