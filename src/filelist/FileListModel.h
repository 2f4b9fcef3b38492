#pragma once

#include "command/FileEntries.h"

#include <QAbstractListModel>
#include <QStringList>

namespace culvex {

// The file list (ListView1): one column "File(s)" of path texts, appended at the end,
// duplicates allowed, nothing checked on adding.
class FileListModel final : public QAbstractListModel, public FileEntries {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int count() const override { return static_cast<int>(paths_.size()); }
    QString text(int position) const override;

    void append(const QString& path);
    void appendAll(const QStringList& paths);
    void removeAt(int row);
    void clear();
    // Swaps the path texts of two entries; the entries themselves keep their places.
    void exchangeTexts(int first, int second);
    const QStringList& paths() const { return paths_; }

private:
    QStringList paths_;
};

}  // namespace culvex
