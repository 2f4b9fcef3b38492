#include "preview/PreviewModel.h"

#include "output/DecodedText.h"
#include "platform/Utf8Bytes.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QPalette>
#include <algorithm>

namespace culvex {
namespace {

// The most characters a cell shows; the whole text is in no danger of being read there.
constexpr std::size_t kCellBytes = 300;

QString separatorName(const ExtractionChoices& choices) {
    switch (choices.separator) {
        case SeparatorChoice::Space:
            return QStringLiteral("space");
        case SeparatorChoice::CommaSpace:
            return QStringLiteral("comma followed by a space");
        case SeparatorChoice::Comma:
            return QStringLiteral("comma");
        case SeparatorChoice::Tab:
            return QStringLiteral("tab");
        case SeparatorChoice::Typed:
            return QStringLiteral("\u201c%1\u201d").arg(fromUtf8Bytes(choices.typedSeparator));
        case SeparatorChoice::None:
            break;
    }
    return QStringLiteral("separator (none is selected)");
}

}  // namespace

void PreviewModel::show(std::shared_ptr<const Sample> sample, const ExtractionChoices& choices) {
    beginResetModel();
    sample_ = std::move(sample);
    choices_ = choices;
    lines_.clear();
    columns_ = 0;
    PreviewSplitter splitter(choices);
    // A start and an end given by number are the same columns on every line.
    const LineSettings& settings = splitter.settings();
    const bool byNumbers = settings.byRange && settings.startByNumber && settings.endByNumber;
    rangeFirst_ = byNumbers ? std::max<int>(settings.startIndex.value, 0) : 0;
    rangeLast_ = byNumbers ? settings.endIndex.value : -1;
    byRecords_ = settings.quoted;
    if (settings.quoted) {
        lines_ = splitter.splitRecords(sample_->text, !sample_->moreInFile, records_, kSampleLines);
    } else {
        for (const std::string_view line : sample_->lines) {
            lines_.push_back(splitter.split(line, sample_->bytes));
        }
    }
    for (const PreviewLine& line : lines_) {
        columns_ = std::max(columns_, static_cast<int>(line.cells.size()));
    }
    endResetModel();
}

void PreviewModel::clear() {
    beginResetModel();
    lines_.clear();
    columns_ = 0;
    sample_.reset();
    endResetModel();
}

int PreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1 + columns_;
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const PreviewLine& line = lines_[static_cast<std::size_t>(index.row())];
    if (role == Qt::ForegroundRole && line.noRow != NoRow::None) {
        return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    }
    if (role == Qt::ToolTipRole && line.noRow != NoRow::None) {
        return reasonOf(line.noRow);
    }
    if (index.column() == 0) {
        if (role == Qt::DisplayRole) {
            return index.row() + 1;
        }
        return role == Qt::TextAlignmentRole ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                             : QVariant();
    }
    return cellData(line, index.column() - 1, role);
}

QVariant PreviewModel::cellData(const PreviewLine& line, int column, int role) const {
    if (column >= static_cast<int>(line.cells.size())) {
        return {};
    }
    const PreviewCell& cell = line.cells[static_cast<std::size_t>(column)];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole: {
            QString text = shownText(cell.text.substr(0, kCellBytes), choices_.encoding);
            return cell.text.size() > kCellBytes ? text + QChar(0x2026) : text;
        }
        case Qt::BackgroundRole:
            return cell.kept
                       ? QVariant(QApplication::palette().color(QPalette::Highlight).lighter(170))
                       : QVariant();
        case Qt::ToolTipRole:
            if (cell.spacesBefore + cell.spacesAfter > 0) {
                return QStringLiteral("Trimming removes %1 space(s) before and %2 after the text")
                    .arg(cell.spacesBefore)
                    .arg(cell.spacesAfter);
            }
            return {};
        case TrimmedRole:
            return (cell.spacesBefore > 0 ? 1 : 0) | (cell.spacesAfter > 0 ? 2 : 0);
        default:
            return {};
    }
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        if (section == 0) {
            return byRecords_ ? QStringLiteral("Record") : QStringLiteral("Line");
        }
        return QString::number(section);
    }
    if (role == Qt::FontRole && inNumberRange(section - 1)) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    return {};
}

bool PreviewModel::inNumberRange(int column) const {
    return column >= rangeFirst_ && column <= rangeLast_;
}

QString PreviewModel::reasonOf(NoRow reason) const {
    switch (reason) {
        case NoRow::EmptyLine:
            return QStringLiteral("No row: the line is empty.");
        case NoRow::NoSeparator:
            return QStringLiteral("No row: the line holds no %1.").arg(separatorName(choices_));
        case NoRow::StartMarkerMissing:
            return QStringLiteral("No row: no column begins with \u201c%1\u201d.")
                .arg(fromUtf8Bytes(choices_.startMarker));
        case NoRow::Overflow:
            return QStringLiteral("No row: a column number of this line is out of range.");
        case NoRow::OutsideRange:
            return QStringLiteral("No row: the range holds no column with text on this line.");
        case NoRow::None:
            break;
    }
    return {};
}

}  // namespace culvex
