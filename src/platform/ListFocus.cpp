#include "platform/ListFocus.h"

#include <QAbstractItemView>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <algorithm>
#include <utility>

namespace culvex {

void selectRowOnKeyboardEntry(QAbstractItemView& view, Qt::FocusReason reason) {
    QItemSelectionModel* selection = view.selectionModel();
    const bool byKeyboard = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
    if (!byKeyboard || selection == nullptr || view.model() == nullptr ||
        view.model()->rowCount(view.rootIndex()) == 0 || selection->hasSelection()) {
        return;
    }
    const QModelIndex row = view.currentIndex().isValid()
                                ? view.currentIndex()
                                : view.model()->index(0, 0, view.rootIndex());
    selection->setCurrentIndex(row,
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void showSelectionWithoutFocus(QStyleOptionViewItem& option) {
    constexpr double kTint = 0.3;
    QPalette& palette = option.palette;
    const QColor selection = palette.color(QPalette::Active, QPalette::Highlight);
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    const auto mix = [&](double from, double to) { return from * kTint + to * (1 - kTint); };
    const QColor tint = QColor::fromRgbF(static_cast<float>(mix(selection.redF(), base.redF())),
                                         static_cast<float>(mix(selection.greenF(), base.greenF())),
                                         static_cast<float>(mix(selection.blueF(), base.blueF())));
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight, tint);
        palette.setColor(group, QPalette::HighlightedText,
                         palette.color(QPalette::Active, QPalette::Text));
    }
}

void StillRemoval::begin(const QAbstractItemView& view, int first, int last) {
    active_ = true;
    firstShown_ = view.verticalScrollBar()->value();
    goneAbove_ = std::max(0, std::min(last + 1, firstShown_) - first);
    hadSelection_ = view.selectionModel() != nullptr && view.selectionModel()->hasSelection();
}

void StillRemoval::end(QAbstractItemView& view) {
    if (!std::exchange(active_, false)) {
        return;
    }
    QItemSelectionModel* selection = view.selectionModel();
    if (hadSelection_ && !selection->hasSelection() && view.currentIndex().isValid()) {
        selection->select(view.currentIndex(),
                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    view.verticalScrollBar()->setValue(firstShown_ - goneAbove_);
}

}  // namespace culvex
