#pragma once

class QTableView;

namespace culvex {

// Makes a table view behave as a one-column list in report style: a visible column
// header, no row header, no grid, whole-row single selection, uniform row heights, and a
// column the user may drag wider than the list.
void configureReportView(QTableView& view);

}  // namespace culvex
