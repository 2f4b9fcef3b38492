#pragma once

#include "choices/ExtractionChoices.h"
#include "preview/PreviewLines.h"
#include "preview/PreviewSample.h"

#include <QAbstractTableModel>
#include <memory>
#include <string>
#include <vector>

namespace culvex {

// The preview's table: a row per sampled line (per record with quoted fields), its number first
// (headed "Line", or "Record" with quoted fields, where a row may span lines), then one column
// per column of the line, headed 1, 2, 3 and so on. Each cell holds the column's
// text as extraction takes it, read in the Encoding setting; the cells extraction keeps have the
// highlight colour, lines without a row are dimmed and say why in their tool tip, and a
// cell that lost spaces to trimming says so (TrimmedRole) for its delegate to mark.
class PreviewModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // Bit 1: spaces were removed before the text, bit 2: after it.
    static constexpr int TrimmedRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    // Shows `sample` cut with `choices`. The sample stays alive as long as the model shows it.
    void show(std::shared_ptr<const Sample> sample, const ExtractionChoices& choices);
    void clear();

    const std::vector<PreviewLine>& lines() const { return lines_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVariant cellData(const PreviewLine& line, int column, int role) const;
    QString reasonOf(NoRow reason) const;
    bool inNumberRange(int column) const;

    std::shared_ptr<const Sample> sample_;
    ExtractionChoices choices_;
    bool byRecords_ = false;  // quoted fields: a row per record
    std::string records_;     // then the sample's text the cells view
    std::vector<PreviewLine> lines_;
    int columns_ = 0;
    int rangeFirst_ = 0;  // the columns of a range given by numbers, from 0; none when
    int rangeLast_ = -1;  // the last is before the first
};

}  // namespace culvex
