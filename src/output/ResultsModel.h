#pragma once

#include "engine/ResultsSink.h"
#include "engine/ResultsStore.h"
#include "engine/TextEncoding.h"

#include <QAbstractListModel>
#include <limits>

namespace culvex {

// The results list (ListView2): one column "Results" over the results store. Rows are
// decoded in the list's text encoding only when shown, and a very long row only as far as
// it is shown (shownText); the store keeps every byte for the writers, the clipboard and
// the spreadsheet, which read rows in the same encoding. Appended rows reach the view in
// batches when published. Rows beyond the most the view can count are turned away and
// counted.
class ResultsModel final : public QAbstractListModel, public ResultsSink {
    Q_OBJECT
public:
    // The view counts rows in int, so the list holds at most that many.
    static constexpr std::size_t kMaxRows = std::numeric_limits<int>::max();

    explicit ResultsModel(QObject* parent = nullptr, std::size_t maxRows = kMaxRows)
        : QAbstractListModel(parent), maxRows_(maxRows) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The list's type-to-find (shown text starting with the typed text, any case) walks the
    // store instead of decoding every row, so a letter typed into a list of many millions
    // of rows answers at once; other searches are the model's own.
    QModelIndexList match(const QModelIndex& start, int role, const QVariant& value, int hits,
                          Qt::MatchFlags flags) const override;

    void append(std::string_view row) override;
    void appendBatch(std::span<const std::string_view> rows, std::string_view source) override;
    void appendSpans(std::span<const RowSpan> rows, std::string_view source) override;
    bool takesPages() const override { return true; }
    void appendPage(RowPage& page) override;
    void publish() override;
    std::size_t takeRowsLeftOut() override;
    // Removes one row (0-based); a row that does not exist is left alone.
    void removeAt(int row);
    // Removes every row, published or not, and gives the memory back.
    void clear();

    // All rows, published or not, for the writers and the clipboard.
    const ResultsStore& store() const { return store_; }

    // How rows become characters; a change shows at once.
    TextEncoding encoding() const { return encoding_; }
    void setEncoding(TextEncoding encoding);

private:
    // The first row from `first` to `last` - 1 that starts with `text`; -1 when none does.
    int findStartingWith(const QString& text, int first, int last) const;
    // How many of `rows` more fit; the rest are counted as left out.
    std::size_t roomFor(std::size_t rows);

    ResultsStore store_;
    TextEncoding encoding_ = TextEncoding::Auto;
    int shown_ = 0;
    std::size_t maxRows_;
    std::size_t rowsLeftOut_ = 0;
};

}  // namespace culvex
