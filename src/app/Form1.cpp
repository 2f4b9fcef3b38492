#include "app/Form1.h"

#include "app/FormControls.h"
#include "app/ReportView.h"
#include "filelist/FileListModel.h"
#include "filelist/FileListView.h"
#include "output/ResultsModel.h"
#include "output/ResultsView.h"
#include "platform/Utf8Bytes.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QStyleFactory>
#include <algorithm>

namespace culvex {

Form1::Form1(Platform& platform, QString programFolder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      platform_(platform),
      fileList_(new FileListModel(this)),
      results_(new ResultsModel(this)),
      progress_(new ProgressWindow(this)),
      context_{platform.dialogs,  platform.yielder,        *progress_, *this, dialogState_,
               platform.settings, std::move(programFolder)},
      extract_(context_),
      drag_(*fileList_, platform.mouse) {
    setObjectName(QStringLiteral("Form1"));
    buildMainWindowControls(*this);
    findControls();
    addQuotedFieldsBox();
    setUpWindow();
    connectPanel();
    connectCommands();
    addShortcuts();
    connectFileList();
    connectPreview();
    watchHover();
}

void Form1::findControls() {
    listView1_ = findChild<FileListView*>(QStringLiteral("ListView1"));
    listView2_ = findChild<ResultsView*>(QStringLiteral("ListView2"));
    check1_ = findChild<QCheckBox*>(QStringLiteral("Check1"));
    for (int n = 1; n <= 11; ++n) {
        pushButtons_[n] = findChild<QPushButton*>(QStringLiteral("PushButton%1").arg(n));
    }
    for (int n : {1, 2, 3, 4, 7, 8, 9, 10, 11}) {
        options_[n] = findChild<QRadioButton*>(QStringLiteral("Option%1").arg(n));
    }
    for (int n = 1; n <= 5; ++n) {
        texts_[n] = findChild<QLineEdit*>(QStringLiteral("Text%1").arg(n));
    }
    for (int n = 1; n <= 4; ++n) {
        frames_[n] = findChild<QGroupBox*>(QStringLiteral("Frame%1").arg(n));
    }
}

void Form1::setUpWindow() {
    setFont(textFont());
    paintBackgrounds(*this, Qt::white);
    // Frames in the classic look: the caption sits on the top border line, where the
    // panel's layout expects it, and the inside keeps the window's colour.
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows"))) {
        classic->setParent(this);
        setFrameStyle(classic);
    }
    setFixedSize(kClientWidth, kClientHeight);
    configureReportView(*listView1_, *fileList_);
    listView2_->setModel(results_);
    for (QHeaderView* column : {listView1_->horizontalHeader(), listView2_->horizontalHeader()}) {
        // The column keeps the width start-up gives it, so the user can drag its edge
        // beyond the list to read long texts; it appears when start-up creates it.
        column->setStretchLastSection(false);
        column->hide();
    }

    // The designed state of the panel, before start-up restores the stored one.
    options_[1]->setChecked(true);
    options_[3]->setChecked(true);
    options_[11]->setChecked(true);
    check1_->setChecked(true);

    // Centred on the screen's free area; a window larger than that area keeps its top
    // left corner, and with it the caption and the first controls, on the screen.
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        const QPoint centred = area.center() - rect().center();
        move(std::max(centred.x(), area.left()), std::max(centred.y(), area.top()));
    }
    nameForAssistiveTools();
}

// Keys for the commands used most, which change no caption: each presses its button, so
// it runs exactly as a click does. Delete in the results list removes the selected row
// as a double-click does.
void Form1::addShortcuts() {
    const std::pair<QKeySequence, int> keys[] = {
        {QKeySequence(Qt::Key_F5), 7},
        {QKeySequence(Qt::CTRL | Qt::Key_O), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_S), 6},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), 8},
    };
    for (const auto& [key, button] : keys) {
        connect(new QShortcut(key, this), &QShortcut::activated, pushButtons_[button],
                &QPushButton::click);
    }
    auto* remove = new QShortcut(QKeySequence(Qt::Key_Delete), listView2_, nullptr, nullptr,
                                 Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, &Form1::ListView2_DblClick);
}

// Screen readers name each text box after the option it belongs to and each list after
// its column.
void Form1::nameForAssistiveTools() {
    const std::pair<int, int> boxOptions[] = {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 11}};
    for (const auto& [box, option] : boxOptions) {
        texts_[box]->setAccessibleName(options_[option]->text());
    }
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(listView1_),
                                    static_cast<QAbstractItemView*>(listView2_)}) {
        view->setAccessibleName(view->model()->headerData(0, Qt::Horizontal).toString());
    }
}

void Form1::setFrameStyle(QStyle* style) {
    for (QGroupBox* frame : findChildren<QGroupBox*>()) {
        frame->setStyle(style);
    }
}

QString Form1::besideProgram(const QString& name) const {
    return context_.programFolder + QDir::separator() + name;
}

QButtonGroup* Form1::groupOf(int option) const {
    if (option <= 2) {
        return optionGroups_[1];
    }
    return option <= 4 ? optionGroups_[2] : optionGroups_[4];
}

int Form1::check1Value() const { return check1_->isChecked() ? 1 : 0; }

bool Form1::isOptionSelected(int number) const {
    const QRadioButton* button = options_.at(number);
    return button && button->isChecked();
}

// Options 7..11 are one group; the first selected one wins.
ExtractionChoices Form1::extractionSettings() const {
    ExtractionChoices panel;
    panel.rangeOn = check1Value() == 1;
    panel.startByNumber = isOptionSelected(1);
    panel.startByMarker = isOptionSelected(2);
    panel.endByNumber = isOptionSelected(3);
    panel.endByMarker = isOptionSelected(4);
    panel.startNumber = toUtf8Bytes(texts_.at(1)->text());
    panel.startMarker = toUtf8Bytes(texts_.at(2)->text());
    panel.endNumber = toUtf8Bytes(texts_.at(3)->text());
    panel.endMarker = toUtf8Bytes(texts_.at(4)->text());
    panel.typedSeparator = toUtf8Bytes(texts_.at(5)->text());
    panel.encoding = results_->encoding();
    panel.quoted = quotedFields_->isChecked();
    for (int option = kFirstSeparatorOption; option <= kLastSeparatorOption; ++option) {
        if (isOptionSelected(option)) {
            panel.separator = separatorOfOption(option);
            break;
        }
    }
    return panel;
}

void Form1::setPointer(PointerState state) {
    pointer_ = state;
    switch (state) {
        case PointerState::Default:
            unsetCursor();
            break;
        case PointerState::Custom:
            setCursor(handCursor_);
            break;
        case PointerState::Busy:
            setCursor(Qt::WaitCursor);
            break;
        case PointerState::Arrow:
            setCursor(Qt::ArrowCursor);
            break;
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    event->accept();
    Form_Unload();
}

void Form1::Form_Unload() {
    platform_.yielder.endProgram();
    QCoreApplication::exit(0);
}

}  // namespace culvex
