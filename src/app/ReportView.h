#pragma once

class QAbstractItemModel;
class QTableView;

namespace culvex {

// Sets up a list in report style over a one-column model: the column header shown and
// stretched, no row header, no grid, whole-row single selection and rows of one fixed
// height, so that ten million rows lay out, scroll and clear without touching each row.
void configureReportView(QTableView& view, QAbstractItemModel& model);

}  // namespace culvex
