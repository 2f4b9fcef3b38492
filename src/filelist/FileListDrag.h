#pragma once

#include "filelist/FileListModel.h"
#include "platform/ScreenMouse.h"

namespace culvex {

// Reordering the file list by dragging an entry up or down: pressing on the list starts a
// drag, the entry last clicked is the one that moves, and every move over another entry
// exchanges the two paths so the dragged path walks through the list.
class FileListDrag {
public:
    // Screen rows above and below which a move scrolls the list by one entry.
    static constexpr int kScrollUpBelowY = 305;
    static constexpr int kScrollDownAboveY = 364;

    struct Step {
        int selectRow = -1;         // the entry to select, or -1
        int ensureVisibleRow = -1;  // the entry to scroll into view, or -1
    };

    FileListDrag(FileListModel& list, const ScreenMouse& mouse) : list_(list), mouse_(mouse) {}

    void press() { dragActive_ = true; }
    void release() { dragActive_ = false; }
    // The selected entry becomes the one that moves (-1: none selected).
    void pick(int selectedRow) { dragItem_ = selectedRow; }
    // One move of the mouse over the list; targetRow is the entry under the pointer or -1.
    Step moveOver(int targetRow);

private:
    Step scrollAfterExchange(int targetRow) const;

    FileListModel& list_;
    const ScreenMouse& mouse_;
    bool dragActive_ = false;
    int dragItem_ = -1;
};

}  // namespace culvex
