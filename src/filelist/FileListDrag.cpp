#include "filelist/FileListDrag.h"

namespace culvex {

FileListDrag::Step FileListDrag::moveOver(int targetRow) {
    const int count = list_.count();
    if (!dragActive_ || targetRow < 0 || targetRow >= count || dragItem_ < 0 ||
        dragItem_ >= count) {
        return {};
    }
    const QString dragged = list_.paths()[dragItem_];
    if (list_.paths()[targetRow] == dragged) {
        return {};
    }
    list_.exchangeTexts(dragItem_, targetRow);
    dragItem_ = targetRow;
    Step step = scrollAfterExchange(targetRow);
    step.selectRow = targetRow;
    return step;
}

FileListDrag::Step FileListDrag::scrollAfterExchange(int targetRow) const {
    const int y = mouse_.position().y();
    Step step;
    if (y < kScrollUpBelowY) {
        if (targetRow > 0) {
            step.ensureVisibleRow = targetRow - 1;
        }
    } else if (y > kScrollDownAboveY && targetRow + 1 < list_.count()) {
        step.ensureVisibleRow = targetRow + 1;
    }
    return step;
}

}  // namespace culvex
