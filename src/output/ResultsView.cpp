#include "output/ResultsView.h"

#include "output/ResultsAccessible.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>
#include <utility>

namespace culvex {

namespace {

// How far above or below the list a row far out of sight is placed: well outside any
// screen, and far enough from the int range that adding a row height cannot overflow.
constexpr qint64 kFarAway = qint64{1} << 24;

}  // namespace

ResultsView::ResultsView(QWidget* parent)
    : QAbstractItemView(parent), header_(new QHeaderView(Qt::Horizontal, this)) {
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerItem);
    // Tab and Shift+Tab move on to the next control; the arrow keys move between rows.
    setTabKeyNavigation(false);
    installResultsAccessibility();

    header_->setHighlightSections(false);
    header_->setSectionsClickable(false);
    header_->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header_, &QHeaderView::sectionResized, this, [this] {
        updateScrollBars();
        viewport()->update();
    });
    connect(header_, &QHeaderView::geometriesChanged, this, &ResultsView::updateGeometries);
}

// The header outlives this part of the view by a moment: its last signals, sent while the
// base classes take the children down, must not reach a view that is already gone.
ResultsView::~ResultsView() { disconnect(header_, nullptr, this, nullptr); }

void ResultsView::setModel(QAbstractItemModel* model) {
    if (this->model()) {
        disconnect(this->model(), &QAbstractItemModel::rowsRemoved, this, &ResultsView::rowsGone);
    }
    QAbstractItemView::setModel(model);
    header_->setModel(model);
    if (model) {
        connect(model, &QAbstractItemModel::rowsRemoved, this, &ResultsView::rowsGone);
    }
}

int ResultsView::rowHeight() const { return fontMetrics().height() + 4; }

int ResultsView::rowCount() const { return model() ? model()->rowCount(rootIndex()) : 0; }

int ResultsView::firstShownRow() const { return verticalScrollBar()->value(); }

int ResultsView::pageRows() const { return std::max(1, viewport()->height() / rowHeight()); }

int ResultsView::columnWidth() const { return header_->sectionSize(0); }

int ResultsView::rowTop(int row) const {
    const qint64 top = (qint64{row} - firstShownRow()) * rowHeight();
    return static_cast<int>(std::clamp(top, -kFarAway, kFarAway));
}

int ResultsView::rowAt(int y) const {
    if (y < 0) {
        return -1;
    }
    const qint64 row = qint64{firstShownRow()} + y / rowHeight();
    return row < rowCount() ? static_cast<int>(row) : -1;
}

QRect ResultsView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || index.parent() != rootIndex()) {
        return {};
    }
    return {-horizontalOffset(), rowTop(index.row()), columnWidth(), rowHeight()};
}

QModelIndex ResultsView::indexAt(const QPoint& point) const {
    const int x = point.x() + horizontalOffset();
    const int row = rowAt(point.y());
    if (x < 0 || x >= columnWidth() || row < 0) {
        return {};
    }
    return model()->index(row, 0, rootIndex());
}

// The column starts at the list's left edge: a row brought into view is shown from its
// first character, as the list did when it was a table.
void ResultsView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid() || index.parent() != rootIndex()) {
        return;
    }
    const int row = index.row();
    const int page = pageRows();
    QScrollBar* down = verticalScrollBar();
    QScrollBar* across = horizontalScrollBar();
    switch (hint) {
        case PositionAtTop:
            down->setValue(row);
            break;
        case PositionAtBottom:
            down->setValue(row - page + 1);
            break;
        case PositionAtCenter:
            down->setValue(row - page / 2);
            across->setValue((columnWidth() - viewport()->width()) / 2);
            return;
        case EnsureVisible:
            if (row < down->value()) {
                down->setValue(row);
            } else if (row - down->value() >= page) {
                down->setValue(row - page + 1);
            }
            break;
    }
    across->setValue(0);
}

// Ctrl+C copies the current row whole; Shift+F10 opens the list's menu at the current row,
// as the menu key does.
void ResultsView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        if (currentIndex().isValid()) {
            emit copyRequested(currentIndex().row());
        }
    } else if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        const QModelIndex current = currentIndex();
        emit customContextMenuRequested(current.isValid() ? visualRect(current).center()
                                                          : viewport()->rect().topLeft());
    } else {
        QAbstractItemView::keyPressEvent(event);
        return;
    }
    event->accept();
}

QModelIndex ResultsView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    const int rows = rowCount();
    const QModelIndex current = currentIndex();
    if (rows == 0 || !current.isValid()) {
        return rows == 0 ? QModelIndex() : model()->index(0, 0, rootIndex());
    }
    qint64 row = current.row();
    switch (action) {
        case MoveUp:
        case MovePrevious:
            --row;
            break;
        case MoveDown:
        case MoveNext:
            ++row;
            break;
        case MovePageUp:
            row -= pageRows();
            break;
        case MovePageDown:
            row += pageRows();
            break;
        case MoveHome:
            row = 0;
            break;
        case MoveEnd:
            row = rows - 1;
            break;
        case MoveLeft:
        case MoveRight:
            break;
    }
    return model()->index(static_cast<int>(std::clamp<qint64>(row, 0, rows - 1)), 0, rootIndex());
}

int ResultsView::horizontalOffset() const { return horizontalScrollBar()->value(); }

// In pixels, as the base view expects; past the int range (a list scrolled down by more
// than a hundred million rows) it stays at the largest int rather than wrapping.
int ResultsView::verticalOffset() const {
    return static_cast<int>(std::min<qint64>(qint64{firstShownRow()} * rowHeight(), INT_MAX));
}

bool ResultsView::isIndexHidden(const QModelIndex&) const { return false; }

void ResultsView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    const QRect area = rect.normalized();
    const QModelIndex top = indexAt(area.topLeft());
    const QModelIndex bottom = indexAt(area.bottomRight());
    if (!selectionModel() || !top.isValid() || !bottom.isValid()) {
        return;
    }
    selectionModel()->select(QItemSelection(top, bottom), command);
}

// Only the rows in sight, so a selection of many rows costs no more than the list shows.
QRegion ResultsView::visualRegionForSelection(const QItemSelection& selection) const {
    const int first = firstShownRow();
    const int last = first + pageRows();
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        const int top = std::max(range.top(), first);
        const int bottom = std::min(range.bottom(), last);
        if (top <= bottom && range.parent() == rootIndex()) {
            region += QRect(-horizontalOffset(), rowTop(top), columnWidth(),
                            (bottom - top + 1) * rowHeight());
        }
    }
    return region;
}

void ResultsView::initViewItemOption(QStyleOptionViewItem* option) const {
    QAbstractItemView::initViewItemOption(option);
    option->showDecorationSelected = true;
}

void ResultsView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    QStyleOptionViewItem base;
    initViewItemOption(&base);
    const bool focused = hasFocus() || viewport()->hasFocus();
    const int first = firstShownRow();
    const int last = std::min(rowCount() - 1, first + pageRows());
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(row, 0, rootIndex());
        QStyleOptionViewItem cell = base;
        cell.rect = visualRect(index);
        if (!event->region().intersects(cell.rect)) {
            continue;
        }
        if (selectionModel()->isSelected(index)) {
            cell.state |= QStyle::State_Selected;
        }
        if (focused && index == currentIndex()) {
            cell.state |= QStyle::State_HasFocus;
        }
        if (cell.state & QStyle::State_Enabled) {
            cell.palette.setCurrentColorGroup(QPalette::Normal);
        }
        if (!focused && (cell.state & QStyle::State_Selected)) {
            showSelectionWithoutFocus(cell);
        }
        style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &cell, &painter, this);
        itemDelegateForIndex(index)->paint(&painter, cell, index);
    }
}

void ResultsView::scrollContentsBy(int dx, int) {
    if (dx != 0) {
        header_->setOffset(horizontalOffset());
    }
    viewport()->update();
}

void ResultsView::updateGeometries() {
    if (layingOut_) {
        return;
    }
    layingOut_ = true;
    const int headerHeight =
        header_->isHidden() ? 0 : std::max(header_->minimumHeight(), header_->sizeHint().height());
    setViewportMargins(0, headerHeight, 0, 0);
    const QRect area = viewport()->geometry();
    header_->setGeometry(area.left(), area.top() - headerHeight, area.width(), headerHeight);
    updateScrollBars();
    layingOut_ = false;
    QAbstractItemView::updateGeometries();
}

void ResultsView::updateScrollBars() {
    const int page = pageRows();
    QScrollBar* down = verticalScrollBar();
    down->setRange(0, std::max(0, rowCount() - page));
    down->setPageStep(page);
    down->setSingleStep(1);
    const int width = viewport()->width();
    QScrollBar* across = horizontalScrollBar();
    across->setRange(0, std::max(0, header_->length() - width));
    across->setPageStep(width);
    across->setSingleStep(std::max(width / 2, 2));
    header_->setOffset(horizontalOffset());
}

// Rows appended out of sight only move the scroll bar.
void ResultsView::rowsInserted(const QModelIndex& parent, int first, int last) {
    QAbstractItemView::rowsInserted(parent, first, last);
    updateScrollBars();
    if (first <= firstShownRow() + pageRows()) {
        viewport()->update();
    }
}

// A screen reader follows the keyboard: it hears of the row that became current, by its
// position among the list's rows.
void ResultsView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (QAccessible::isActive() && current.isValid() && hasFocus()) {
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(current.row());
        QAccessible::updateAccessibility(&event);
    }
    const bool scrolls = hasAutoScroll();
    setAutoScroll(scrolls && !removal_.active());
    QAbstractItemView::currentChanged(current, previous);
    setAutoScroll(scrolls);
}

void ResultsView::rowsAboutToBeRemoved(const QModelIndex& parent, int first, int last) {
    removal_.begin(*this, first, last);
    QAbstractItemView::rowsAboutToBeRemoved(parent, first, last);
}

void ResultsView::rowsGone() {
    updateScrollBars();
    removal_.end(*this);
    viewport()->update();
}

void ResultsView::focusInEvent(QFocusEvent* event) {
    QAbstractItemView::focusInEvent(event);
    selectRowOnKeyboardEntry(*this, event->reason());
}

}  // namespace culvex
