#include "output/EncodingMenu.h"

#include <QActionGroup>
#include <QMenu>
#include <array>

namespace culvex {
namespace {

constexpr std::array kEncodings = {TextEncoding::Auto, TextEncoding::Windows1252,
                                   TextEncoding::Utf8};

}  // namespace

QString encodingName(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Windows1252:
            return QStringLiteral("Windows-1252");
        case TextEncoding::Utf8:
            return QStringLiteral("UTF-8");
        case TextEncoding::Auto:
            break;
    }
    return QStringLiteral("Auto");
}

TextEncoding encodingNamed(const QString& name) {
    for (const TextEncoding encoding : kEncodings) {
        if (name.trimmed().compare(encodingName(encoding), Qt::CaseInsensitive) == 0) {
            return encoding;
        }
    }
    return TextEncoding::Auto;
}

QMenu* makeEncodingMenu(QWidget* parent, TextEncoding current,
                        std::function<void(TextEncoding)> chosen) {
    auto* menu = new QMenu(parent);
    QMenu* choices = menu->addMenu(QStringLiteral("Text encoding"));
    auto* group = new QActionGroup(choices);
    for (const TextEncoding encoding : kEncodings) {
        QAction* action = choices->addAction(encodingName(encoding));
        action->setCheckable(true);
        action->setChecked(encoding == current);
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, menu,
                         [chosen, encoding] { chosen(encoding); });
    }
    return menu;
}

}  // namespace culvex
