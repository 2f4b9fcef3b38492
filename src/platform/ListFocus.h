#pragma once

#include <Qt>

class QAbstractItemView;
class QStyleOptionViewItem;

namespace culvex {

// How both lists take and show the keyboard focus.

// Tab into a list with no row selected selects its current row, or its first, so that the
// keys that act on the selected row (Delete) work at once.
void selectRowOnKeyboardEntry(QAbstractItemView& view, Qt::FocusReason reason);

// A list without the focus shows its selected row with the usual quieter look of an
// inactive selection: a pale tint of the selection colour behind ordinary text.
void showSelectionWithoutFocus(QStyleOptionViewItem& option);

// Keeps what a list shows still while rows go: rows going above the rows in sight move
// the scroll bar (which counts rows) with them, the row that takes the current row's place
// is not scrolled to, and it is selected when a row was.
class StillRemoval {
public:
    // Before rows `first` to `last` go.
    void begin(const QAbstractItemView& view, int first, int last);
    // While they go: a current row that changes then is not scrolled to.
    bool active() const { return active_; }
    // After they went.
    void end(QAbstractItemView& view);

private:
    bool active_ = false;
    int firstShown_ = 0;
    int goneAbove_ = 0;
    bool hadSelection_ = false;
};

}  // namespace culvex
