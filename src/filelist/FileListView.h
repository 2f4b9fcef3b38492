#pragma once

#include "platform/ListFocus.h"

#include <QStringList>
#include <QTableView>

namespace culvex {

// The file list's view (ListView1): one column, no grid, whole-row single selection,
// fixed row heights so that a hundred thousand entries stay cheap. It accepts drops of
// local files and folders only (anything else shows the no-drop pointer) and hands the
// dropped paths, key presses, double-clicks and mouse presses, moves and releases (which
// reorder entries by dragging) to the window as signals. Moving with a button held never
// changes the selection by itself: the window moves the dragged entry and selects it.
class FileListView : public QTableView {
    Q_OBJECT
public:
    explicit FileListView(QWidget* parent = nullptr);

    // The selected row, or -1 when nothing is selected.
    int selectedRow() const;

signals:
    void pathsDropped(const QStringList& paths);
    void keyPressed(int key);
    void listDoubleClicked();
    // Any mouse button pressed or released over the list.
    void mousePressed();
    void mouseReleased();
    // The mouse moved over the list; row is the entry under it, or -1.
    void mouseMovedOver(int row);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void initViewItemOption(QStyleOptionViewItem* option) const override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int first, int last) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    StillRemoval removal_;
};

}  // namespace culvex
