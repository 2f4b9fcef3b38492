#include "platform/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace culvex {

bool QtClipboard::tryClear() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return false;
    }
    clipboard->clear();
    return true;
}

bool QtClipboard::trySetText(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return false;
    }
    clipboard->setText(text);
    return clipboard->text() == text;
}

}  // namespace culvex
