#pragma once

#include "platform/ListFocus.h"

#include <QAbstractItemView>

class QHeaderView;

namespace culvex {

// The results list on screen: a one-column list in report style under its column header,
// with whole-row single selection, no grid and rows of one height. Rows are drawn straight
// from the model and the vertical scroll bar counts rows, so the view keeps nothing per
// row: inserting, removing and clearing rows costs the same for ten rows as for a hundred
// million. The horizontal scroll bar spans the column, whose width the user can drag
// beyond the list to read long rows.
class ResultsView final : public QAbstractItemView {
    Q_OBJECT
public:
    explicit ResultsView(QWidget* parent = nullptr);
    ~ResultsView() override;

    void setModel(QAbstractItemModel* model) override;
    QHeaderView* horizontalHeader() const { return header_; }
    int rowHeight() const;

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;

signals:
    // Ctrl+C on the list: the current row is to be copied whole (the list shows long rows
    // shortened).
    void copyRequested(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& index) const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void initViewItemOption(QStyleOptionViewItem* option) const override;
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    void rowsInserted(const QModelIndex& parent, int first, int last) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int first, int last) override;
    void focusInEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    int rowCount() const;
    int firstShownRow() const;
    // Rows that fit whole in the list; at least one.
    int pageRows() const;
    int columnWidth() const;
    int rowTop(int row) const;
    int rowAt(int y) const;
    void updateScrollBars();
    void rowsGone();

    QHeaderView* header_;
    bool layingOut_ = false;
    StillRemoval removal_;
};

}  // namespace culvex
