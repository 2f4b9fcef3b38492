#include "preview/PreviewWindow.h"

#include "command/AppSettings.h"
#include "preview/FileFacts.h"
#include "preview/SampleReader.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace culvex {
namespace {

constexpr int kDefaultWidth = 780;
constexpr int kDefaultHeight = 540;
// Columns sized to their texts; the others keep the default width.
constexpr int kFittedColumns = 40;
// The rows whose texts a fitted column's width takes into account.
constexpr int kFittedRows = 60;

// Marks a cell whose text lost spaces to trimming with a short grey bar at that side.
class TrimMarkDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const int trimmed = index.data(PreviewModel::TrimmedRole).toInt();
        if (trimmed == 0) {
            return;
        }
        const QRect cell = option.rect;
        const int height = cell.height() * 2 / 3;
        const int top = cell.top() + (cell.height() - height) / 2;
        painter->save();
        painter->setPen(QPen(option.palette.color(QPalette::Dark), 2));
        if ((trimmed & 1) != 0) {
            painter->drawLine(cell.left() + 1, top, cell.left() + 1, top + height);
        }
        if ((trimmed & 2) != 0) {
            painter->drawLine(cell.right() - 1, top, cell.right() - 1, top + height);
        }
        painter->restore();
    }
};

// A label that Tab reaches and whose text the keyboard can select, so that a screen
// reader reads it.
QLabel* readableLabel(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAccessibleName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setFocusPolicy(Qt::StrongFocus);
    label->setWordWrap(true);
    return label;
}

}  // namespace

PreviewWindow::PreviewWindow(PreviewHost& host, SettingsStore& settings, QWidget* parent)
    : QWidget(parent, Qt::Window),
      host_(host),
      settings_(settings),
      model_(new PreviewModel(this)),
      reader_(new SampleReader(this)) {
    setObjectName(QStringLiteral("Preview"));
    setWindowTitle(QStringLiteral("Culvex Preview"));
    build();
    pending_.setSingleShot(true);
    pending_.setInterval(0);
    connect(&pending_, &QTimer::timeout, this, &PreviewWindow::showCurrent);
    geometryTimer_.setSingleShot(true);
    geometryTimer_.setInterval(400);
    connect(&geometryTimer_, &QTimer::timeout, this, &PreviewWindow::storeGeometry);
    connect(reader_, &SampleReader::sampleRead, this, &PreviewWindow::sampleRead);
    restoreGeometry();
}

void PreviewWindow::build() {
    auto* layout = new QVBoxLayout(this);
    fileLabel_ = readableLabel(this, QStringLiteral("File"));
    factsLabel_ = readableLabel(this, QStringLiteral("What the file is"));
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("Columns"));
    table_->setAccessibleName(QStringLiteral("Columns of the first lines"));
    table_->setModel(model_);
    table_->setItemDelegate(new TrimMarkDelegate(table_));
    table_->setWordWrap(false);
    table_->setTabKeyNavigation(false);  // Tab goes on to the suggestions
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    table_->horizontalHeader()->setResizeContentsPrecision(kFittedRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* box = new QGroupBox(QStringLiteral("Separator suggestion"), this);
    box->setObjectName(QStringLiteral("Suggestion"));
    suggestions_ = new QGridLayout(box);
    suggestions_->setColumnStretch(0, 1);
    suggestions_->setColumnStretch(2, 1);
    layout->addWidget(fileLabel_);
    layout->addWidget(factsLabel_);
    layout->addWidget(table_, 1);
    layout->addWidget(box);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
}

void PreviewWindow::open() {
    requested_.clear();  // the file may have changed since it was read
    pending_.start();
    show();
    raise();
    activateWindow();
    table_->setFocus();
}

void PreviewWindow::refresh() {
    if (isVisible() || !requested_.isEmpty()) {
        pending_.start();
    }
}

void PreviewWindow::showCurrent() {
    const QString file = host_.previewedFile();
    if (file.isEmpty()) {
        requested_.clear();
        file_.clear();
        read_.reset();
        sample_.reset();
        model_->clear();
        fileLabel_->setText(QStringLiteral("The file list is empty."));
        factsLabel_->clear();
        showSuggestions();
        emit updated();
        return;
    }
    if (file != requested_) {
        requested_ = file;
        fileLabel_->setText(QStringLiteral("Reading %1\u2026").arg(file));
        reader_->read(file);
        return;
    }
    if (file == file_) {
        showSample();
    }
}

void PreviewWindow::sampleRead(const QString& path, std::shared_ptr<const ReadSample> read,
                               const QString& error) {
    if (path != requested_) {
        return;
    }
    file_ = path;
    read_ = std::move(read);
    sample_ = read_ ? std::shared_ptr<const Sample>(read_, &read_->sample) : nullptr;
    showSuggestions();
    if (!sample_) {
        model_->clear();
        fileLabel_->setText(error);
        factsLabel_->clear();
        emit updated();
        return;
    }
    showSample();
}

void PreviewWindow::showSample() {
    model_->show(sample_, host_.extractionSettings());
    const int lines = static_cast<int>(sample_->lines.size());
    QString text = file_;
    if (sample_->lineCut) {
        text += QStringLiteral(
            " \u2014 its first line is longer than 1 MiB; the first 1 MiB is shown.");
    } else if (sample_->moreInFile) {
        text +=
            QStringLiteral(" \u2014 the first %1 lines are shown; the file goes on.").arg(lines);
    }
    fileLabel_->setText(text);
    factsLabel_->setText(summary());
    const int fitted = std::min(model_->columnCount(), kFittedColumns + 1);
    for (int column = 0; column < fitted; ++column) {
        table_->resizeColumnToContents(column);
    }
    emit updated();
}

QString PreviewWindow::summary() const {
    QString text = QString::fromStdString(describe(read_->facts));
    const auto& lines = model_->lines();
    text += QStringLiteral(", %1 %2 in the sample")
                .arg(lines.size())
                .arg(lines.size() == 1 ? QStringLiteral("line") : QStringLiteral("lines"));
    const ExtractionChoices choices = host_.extractionSettings();
    const LineSettings settings = lineSettingsOf(choices);
    if (choices.rangeOn && choices.endByNumber && settings.endIndex.value >= 0) {
        const auto end = static_cast<std::size_t>(settings.endIndex.value) + 1;
        const auto shorter = std::count_if(lines.begin(), lines.end(), [end](const PreviewLine& l) {
            return l.columns > 0 && l.columns < end;
        });
        text += QStringLiteral(", %1 with fewer than %2 columns").arg(shorter).arg(end);
    }
    return text + QLatin1Char('.');
}

void PreviewWindow::showSuggestions() {
    while (QLayoutItem* item = suggestions_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    int row = 0;
    if (!read_) {
        return;
    }
    const std::vector<SeparatorFit>& fits = read_->fits;
    for (const SeparatorFit& fit : fits) {
        const QString text = QString::fromStdString(describe(fit));
        auto* label = new QLabel(text);
        auto* use = new QPushButton(QStringLiteral("Use"));
        use->setAccessibleName(QStringLiteral("Use ") + text);
        use->setEnabled(fit.lines > 0);
        connect(use, &QPushButton::clicked, this,
                [this, fit] { host_.useSeparator(fit.choice, QString::fromStdString(fit.typed)); });
        label->setBuddy(use);
        // Two columns of suggestions, the best down the left one.
        const int half = static_cast<int>(fits.size() + 1) / 2;
        suggestions_->addWidget(label, row % half, row / half * 2);
        suggestions_->addWidget(use, row % half, row / half * 2 + 1);
        ++row;
    }
}

// The geometry as "left,top,width,height".
QString PreviewWindow::geometryText() const {
    return QStringLiteral("%1,%2,%3,%4").arg(x()).arg(y()).arg(width()).arg(height());
}

void PreviewWindow::restoreGeometry() {
    resize(kDefaultWidth, kDefaultHeight);
    try {
        storedGeometry_ = readSetting(settings_, keys::kPreviewWindow);
    } catch (...) {
        return;
    }
    const QStringList parts = storedGeometry_.split(QLatin1Char(','));
    if (parts.size() != 4) {
        return;
    }
    int values[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toInt(&ok);
        if (!ok) {
            return;
        }
    }
    move(values[0], values[1]);
    resize(std::max(values[2], 200), std::max(values[3], 150));
}

void PreviewWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!placed_) {
        // Where the window system puts the window first is no change of the user's.
        QTimer::singleShot(300, this, [this] {
            placed_ = true;
            if (storedGeometry_.isEmpty()) {
                storedGeometry_ = geometryText();
            }
        });
    }
}

void PreviewWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (placed_) {
        geometryTimer_.start();
    }
}

void PreviewWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (placed_) {
        geometryTimer_.start();
    }
}

void PreviewWindow::storeGeometry() {
    const QString text = geometryText();
    if (text == storedGeometry_) {
        return;
    }
    storedGeometry_ = text;
    try {
        settings_.write(keys::kPreviewWindow, text);
    } catch (...) {
        // The window's place is a convenience: a store that refuses it changes nothing else.
    }
}

}  // namespace culvex
