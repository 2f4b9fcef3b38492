#include "output/EncodingMenu.h"

#include "platform/Utf8Bytes.h"

#include <QActionGroup>
#include <QMenu>

namespace culvex {

QString encodingText(TextEncoding encoding) {
    const std::string_view name = encodingName(encoding);
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

TextEncoding encodingOfText(const QString& text) { return encodingNamed(toUtf8Bytes(text)); }

QMenu* makeEncodingMenu(QWidget* parent, TextEncoding current,
                        std::function<void(TextEncoding)> chosen) {
    auto* menu = new QMenu(parent);
    QMenu* choices = menu->addMenu(QStringLiteral("Text encoding"));
    auto* group = new QActionGroup(choices);
    for (const TextEncoding encoding : kEncodings) {
        QAction* action = choices->addAction(encodingText(encoding));
        action->setCheckable(true);
        action->setChecked(encoding == current);
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, menu,
                         [chosen, encoding] { chosen(encoding); });
    }
    return menu;
}

}  // namespace culvex
