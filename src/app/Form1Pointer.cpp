// The main window's pointer and the file list's mouse handling: the hand pointer over push
// buttons, the default pointer elsewhere (never over a busy pointer), and reordering the
// file list by dragging an entry.
#include "app/CursorFile.h"
#include "app/Form1.h"
#include "filelist/AddFolder.h"
#include "filelist/FileDrop.h"
#include "filelist/FileListView.h"
#include "filelist/ListEditing.h"
#include "output/ResultsView.h"
#include "platform/FolderReader.h"

#include <QEvent>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPushButton>

namespace culvex {

namespace {

// A move that a child widget ignores (a push button does when no button is held) travels
// on to its parent. Only a move over the widget's own surface counts as hovering over it;
// otherwise the window's default would replace the push button's hand at once.
bool overOwnSurface(const QObject* watched, const QEvent& event) {
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (event.type() != QEvent::MouseMove || widget == nullptr) {
        return true;
    }
    const QPoint at = static_cast<const QMouseEvent&>(event).position().toPoint();
    return widget->childAt(at) == nullptr;
}

}  // namespace

void Form1::connectFileList() {
    connect(listView1_, &FileListView::keyPressed, this, &Form1::ListView1_KeyDown);
    connect(listView1_, &FileListView::listDoubleClicked, this, &Form1::ListView1_DblClick);
    connect(listView1_, &FileListView::pathsDropped, this, &Form1::ListView1_OLEDragDrop);
    connect(listView1_, &FileListView::mousePressed, this, &Form1::ListView1_MouseDown);
    connect(listView1_, &FileListView::pressed, this, &Form1::ListView1_ItemClick);
    connect(listView1_, &FileListView::mouseMovedOver, this, &Form1::ListView1_MouseMove);
    connect(listView1_, &FileListView::mouseReleased, this, &Form1::ListView1_MouseUp);
}

void Form1::ListView1_KeyDown(int key) {
    removeOnDeleteKey(*fileList_, listView1_->selectedRow(), *this, key);
}

void Form1::ListView1_DblClick() {
    removeDoubleClickedFile(*fileList_, listView1_->selectedRow(), *this);
}

void Form1::ListView1_OLEDragDrop(const QStringList& paths) {
    dropOnFileList(
        *fileList_, paths,
        FolderScanServices{systemFolderReader(), platform_.yielder, *progress_, platform_.dialogs});
}

void Form1::ListView1_MouseDown() { drag_.press(); }

void Form1::ListView1_ItemClick() {
    // The drag cursor is read anew at every click; without its file the list shows the arrow.
    QCursor dragCursor(Qt::ArrowCursor);
    try {
        dragCursor = loadCursorFile(besideProgram(QStringLiteral("drag.ico")));
    } catch (const std::exception&) {
    }
    listView1_->viewport()->setCursor(dragCursor);
    drag_.pick(listView1_->selectedRow());
}

void Form1::ListView1_MouseMove(int targetRow) {
    if (!isBusy()) {
        setPointer(PointerState::Default);
    }
    const FileListDrag::Step step = drag_.moveOver(targetRow);
    if (step.selectRow >= 0) {
        listView1_->selectRow(step.selectRow);
    }
    if (step.ensureVisibleRow >= 0) {
        listView1_->scrollTo(fileList_->index(step.ensureVisibleRow));
    }
}

void Form1::ListView1_MouseUp() {
    drag_.release();
    listView1_->viewport()->setCursor(Qt::ArrowCursor);
}

void Form1::watchHover() {
    setMouseTracking(true);
    QList<QWidget*> watched{listView2_->viewport()};
    for (int n = 1; n <= 11; ++n) {
        watched << pushButtons_[n];
    }
    for (int n = 1; n <= 4; ++n) {
        watched << frames_[n];
    }
    for (QWidget* widget : watched) {
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    }
}

std::optional<PointerState> Form1::hoverPointerFor(const QObject* watched) const {
    for (int n = 1; n <= 11; ++n) {
        if (watched == pushButtons_[n]) {
            return PointerState::Custom;
        }
    }
    for (int n = 1; n <= 4; ++n) {
        if (watched == frames_[n]) {
            return PointerState::Default;
        }
    }
    if (watched == listView2_->viewport() || watched == this) {
        return PointerState::Default;
    }
    return std::nullopt;
}

void Form1::hover(const QObject* watched, const QEvent& event) {
    const std::optional<PointerState> state = hoverPointerFor(watched);
    if (state && !isBusy() && overOwnSurface(watched, event)) {
        setPointer(*state);
    }
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    hover(this, *event);
    QWidget::mouseMoveEvent(event);
}

}  // namespace culvex
