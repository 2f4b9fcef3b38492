#include "platform/ReportView.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>

namespace culvex {

void configureReportView(QTableView& view, QAbstractItemModel& model) {
    view.setModel(&model);
    view.setShowGrid(false);
    view.setWordWrap(false);
    view.setSortingEnabled(false);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    QHeaderView* rows = view.verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(view.fontMetrics().height() + 4);

    QHeaderView* columns = view.horizontalHeader();
    columns->setStretchLastSection(true);
    columns->setHighlightSections(false);
    columns->setSectionsClickable(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

}  // namespace culvex
