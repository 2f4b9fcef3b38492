#include "filelist/FileListModel.h"

#include <stdexcept>

namespace culvex {

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) ||
        (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    return paths_[index.row()];
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        return QStringLiteral("File(s)");
    }
    return {};
}

QString FileListModel::text(int position) const {
    if (position < 1 || position > count()) {
        throw std::out_of_range("Invalid procedure call or argument");
    }
    return paths_[position - 1];
}

void FileListModel::append(const QString& path) { appendAll(QStringList{path}); }

void FileListModel::appendAll(const QStringList& paths) {
    if (paths.isEmpty()) {
        return;
    }
    beginInsertRows({}, count(), count() + static_cast<int>(paths.size()) - 1);
    paths_.append(paths);
    endInsertRows();
}

void FileListModel::removeAt(int row) {
    beginRemoveRows({}, row, row);
    paths_.removeAt(row);
    endRemoveRows();
}

void FileListModel::clear() {
    beginResetModel();
    paths_.clear();
    endResetModel();
}

}  // namespace culvex
