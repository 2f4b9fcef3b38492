#include "output/ResultsModel.h"

#include "output/DecodedText.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace culvex {

namespace {

bool isAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

char lowerAscii(char16_t c) {
    return static_cast<char>(c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c);
}

// Whether the row as the list shows it starts with `text`, ignoring case. ASCII bytes read
// the same in every encoding, so a row whose first bytes are ASCII is compared as it is
// stored; other rows are decoded.
bool startsWith(std::string_view row, const QString& text, bool asciiText, TextEncoding encoding) {
    const auto length = static_cast<std::size_t>(text.size());
    if (asciiText && isAscii(row.substr(0, length))) {
        return row.size() >= length &&
               std::equal(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(length),
                          text.cbegin(), [](char byte, QChar c) {
                              return lowerAscii(static_cast<char16_t>(byte)) ==
                                     lowerAscii(c.unicode());
                          });
    }
    return shownText(row, encoding).startsWith(text, Qt::CaseInsensitive);
}

}  // namespace

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

QModelIndexList ResultsModel::match(const QModelIndex& start, int role, const QVariant& value,
                                    int hits, Qt::MatchFlags flags) const {
    const Qt::MatchFlags wrap = flags & Qt::MatchWrap;
    if (role != Qt::DisplayRole || hits != 1 || (flags & ~wrap) != Qt::MatchStartsWith ||
        start.parent().isValid() || start.column() != 0) {
        return QAbstractListModel::match(start, role, value, hits, flags);
    }
    const QString text = value.toString();
    const int from = std::clamp(start.row(), 0, shown_);
    int found = findStartingWith(text, from, shown_);
    if (found < 0 && wrap) {
        found = findStartingWith(text, 0, from);
    }
    return found < 0 ? QModelIndexList{} : QModelIndexList{index(found)};
}

int ResultsModel::findStartingWith(const QString& text, int first, int last) const {
    constexpr int kRun = 4096;  // rows walked page by page between two checks
    const bool asciiText =
        std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    int found = -1;
    for (int run = first; run < last && found < 0;) {
        const int end = last - run > kRun ? run + kRun : last;
        int row = run;
        store_.forEachRow(static_cast<std::size_t>(run), static_cast<std::size_t>(end),
                          [&](std::string_view bytes) {
                              if (found < 0 && startsWith(bytes, text, asciiText, encoding_)) {
                                  found = row;
                              }
                              ++row;
                          });
        run = end;
    }
    return found;
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

void ResultsModel::appendPage(RowPage& page) { store_.appendPage(page, roomFor(page.size())); }

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
