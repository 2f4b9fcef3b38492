#include "output/ResultsModel.h"

#include "output/DecodedText.h"

#include <algorithm>
#include <utility>

namespace culvex {

int ResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    return shownText(store_.row(static_cast<std::size_t>(index.row())), encoding_);
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        return QStringLiteral("Results");
    }
    return {};
}

void ResultsModel::setEncoding(TextEncoding encoding) {
    if (encoding == encoding_) {
        return;
    }
    encoding_ = encoding;
    if (shown_ > 0) {
        emit dataChanged(index(0), index(shown_ - 1), {Qt::DisplayRole, Qt::EditRole});
    }
}

void ResultsModel::append(std::string_view row) {
    if (store_.size() < maxRows_) {
        store_.append(row);
    } else {
        ++rowsLeftOut_;
    }
}

std::size_t ResultsModel::roomFor(std::size_t rows) {
    const std::size_t room = maxRows_ - std::min(maxRows_, store_.size());
    if (rows <= room) {
        return rows;
    }
    rowsLeftOut_ += rows - room;
    return room;
}

void ResultsModel::appendBatch(std::span<const std::string_view> rows, std::string_view source) {
    store_.appendRows(rows.first(roomFor(rows.size())), source);
}

void ResultsModel::appendSpans(std::span<const RowSpan> rows, std::string_view source) {
    store_.appendSpans(rows.first(roomFor(rows.size())), source);
}

std::size_t ResultsModel::takeRowsLeftOut() { return std::exchange(rowsLeftOut_, 0); }

void ResultsModel::publish() {
    const int total = static_cast<int>(store_.size());
    if (total == shown_) {
        return;
    }
    beginInsertRows({}, shown_, total - 1);
    shown_ = total;
    endInsertRows();
}

void ResultsModel::removeAt(int row) {
    publish();
    if (row < 0 || row >= shown_) {
        return;
    }
    beginRemoveRows({}, row, row);
    store_.removeAt(static_cast<std::size_t>(row));
    --shown_;
    endRemoveRows();
}

void ResultsModel::clear() {
    beginResetModel();
    store_.clear();
    shown_ = 0;
    endResetModel();
}

}  // namespace culvex
