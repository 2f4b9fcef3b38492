#include "command/Titles.h"

namespace culvex {

QString shortTitleOf(const QString& productTitle) {
    QString title = productTitle;
    do {
        const qsizetype space = title.lastIndexOf(u' ');
        if (space < 0) {
            return shortTitle();
        }
        title.truncate(space);
    } while (title.size() > 40);
    return title;
}

}  // namespace culvex
