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

}  // namespace culvex
