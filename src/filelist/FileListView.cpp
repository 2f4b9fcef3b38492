#include "filelist/FileListView.h"

#include "filelist/FileDrop.h"

#include <QDragEnterEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace culvex {

namespace {

// Accepts the drag only when it carries local files; otherwise the pointer shows no-drop.
// The files are only ever read, so the drop is always a copy: a source that proposes a move
// must never be told that its files were taken, and a source that offers no copy is refused.
bool acceptAsCopy(QDropEvent* event) {
    if (event->mimeData() == nullptr || !offersFileList(*event->mimeData()) ||
        !event->possibleActions().testFlag(Qt::CopyAction)) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

}  // namespace

FileListView::FileListView(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDragEnabled(false);
    setMouseTracking(true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

int FileListView::selectedRow() const {
    const QModelIndexList rows =
        selectionModel() != nullptr ? selectionModel()->selectedRows() : QModelIndexList{};
    return rows.isEmpty() ? -1 : rows.first().row();
}

void FileListView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    selectRowOnKeyboardEntry(*this, event->reason());
}

void FileListView::initViewItemOption(QStyleOptionViewItem* option) const {
    QTableView::initViewItemOption(option);
    if (!hasFocus()) {
        showSelectionWithoutFocus(*option);
    }
}

void FileListView::rowsAboutToBeRemoved(const QModelIndex& parent, int first, int last) {
    removal_.begin(*this, first, last);
    connect(
        model(), &QAbstractItemModel::rowsRemoved, this, [this] { removal_.end(*this); },
        Qt::SingleShotConnection);
    QTableView::rowsAboutToBeRemoved(parent, first, last);
}

void FileListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    const bool scrolls = hasAutoScroll();
    setAutoScroll(scrolls && !removal_.active());
    QTableView::currentChanged(current, previous);
    setAutoScroll(scrolls);
}

void FileListView::dragEnterEvent(QDragEnterEvent* event) { acceptAsCopy(event); }

void FileListView::dragMoveEvent(QDragMoveEvent* event) { acceptAsCopy(event); }

void FileListView::dropEvent(QDropEvent* event) {
    if (acceptAsCopy(event)) {
        emit pathsDropped(droppedPaths(*event->mimeData()));
    }
}

void FileListView::keyPressEvent(QKeyEvent* event) {
    emit keyPressed(event->key());
    QTableView::keyPressEvent(event);
}

void FileListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    emit listDoubleClicked();
}

void FileListView::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    emit mousePressed();
}

void FileListView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::NoButton) {
        QTableView::mouseMoveEvent(event);
    }
    emit mouseMovedOver(indexAt(event->position().toPoint()).row());
}

void FileListView::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseReleased();
    QTableView::mouseReleaseEvent(event);
}

}  // namespace culvex
