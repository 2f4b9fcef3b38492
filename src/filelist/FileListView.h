#pragma once

#include <QStringList>
#include <QTableView>

namespace culvex {

// The file list's view (ListView1): one column, no grid, whole-row single selection,
// fixed row heights so that a hundred thousand entries stay cheap. It accepts drops of
// local files and folders only (anything else shows the no-drop pointer) and hands the
// dropped paths, key presses and double-clicks to the window as signals.
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

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace culvex
