#include "app/ReportView.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>

namespace culvex {

namespace {

// The hidden row header keeps a slot per row and never gives that memory back while it
// lives (about 80 MB for ten million rows), so an emptied list gets a fresh one.
void setRowHeader(QTableView& view) {
    auto* rows = new QHeaderView(Qt::Vertical, &view);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(view.fontMetrics().height() + 4);
    view.setVerticalHeader(rows);
    rows->hide();
}

}  // namespace

void configureReportView(QTableView& view, QAbstractItemModel& model) {
    view.setModel(&model);
    view.setShowGrid(false);
    view.setWordWrap(false);
    view.setSortingEnabled(false);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Tab and Shift+Tab move on to the next control; the arrow keys move between rows.
    view.setTabKeyNavigation(false);

    setRowHeader(view);
    QObject::connect(&model, &QAbstractItemModel::modelReset, &view, [&view, &model] {
        if (model.rowCount() == 0) {
            setRowHeader(view);
        }
    });

    QHeaderView* columns = view.horizontalHeader();
    columns->setStretchLastSection(true);
    columns->setHighlightSections(false);
    columns->setSectionsClickable(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

}  // namespace culvex
