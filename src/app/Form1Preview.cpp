// The preview window's hooks in the main window: F6 and the file list's context menu open
// it, every change of the settings panel, the encoding and the file list updates it, and
// its "Use" selects a separator as a click on that button does.
#include "app/Form1.h"
#include "filelist/FileListView.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QShortcut>

namespace culvex {

void Form1::connectPreview() {
    connect(new QShortcut(QKeySequence(Qt::Key_F6), this), &QShortcut::activated, this,
            &Form1::PreviewColumns);
    listView1_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(listView1_, &QWidget::customContextMenuRequested, this, &Form1::ListView1_ContextMenu);

    const auto refresh = [this] { refreshPreview(); };
    for (int n : {1, 2, 3, 4, 7, 8, 9, 10, 11}) {
        connect(options_[n], &QAbstractButton::toggled, this, refresh);
    }
    for (int n = 1; n <= 5; ++n) {
        connect(texts_[n], &QLineEdit::textChanged, this, refresh);
    }
    connect(check1_, &QCheckBox::toggled, this, refresh);
    connect(quotedFields_, &QCheckBox::toggled, this, refresh);
    connect(listView1_->selectionModel(), &QItemSelectionModel::selectionChanged, this, refresh);
    connect(fileList_, &QAbstractItemModel::rowsInserted, this, refresh);
    connect(fileList_, &QAbstractItemModel::rowsRemoved, this, refresh);
    connect(fileList_, &QAbstractItemModel::dataChanged, this, refresh);
    connect(fileList_, &QAbstractItemModel::modelReset, this, refresh);
}

void Form1::refreshPreview() {
    if (preview_ != nullptr) {
        preview_->refresh();
    }
}

void Form1::PreviewColumns() {
    if (preview_ == nullptr) {
        preview_ = new PreviewWindow(*this, platform_.settings, this);
    }
    preview_->open();
}

void Form1::ListView1_ContextMenu(const QPoint& position) {
    // The menu takes the button's release: the press must not go on as a drag.
    ListView1_MouseUp();
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QStringLiteral("Preview Columns"), this, &Form1::PreviewColumns);
    menu->popup(listView1_->viewport()->mapToGlobal(position));
}

QString Form1::previewedFile() const {
    if (fileList_->count() == 0) {
        return {};
    }
    const int selected = listView1_->selectedRow();
    return fileList_->paths().at(selected >= 0 ? selected : 0);
}

// The button is clicked, so its handler stores the group as a click does; "Others:" then
// takes the text, which its box stores as typing does.
void Form1::useSeparator(SeparatorChoice choice, const QString& typed) {
    for (int option = kFirstSeparatorOption; option <= kLastSeparatorOption; ++option) {
        if (separatorOfOption(option) == choice) {
            options_[option]->click();
        }
    }
    if (choice == SeparatorChoice::Typed && texts_[5]->text() != typed) {
        texts_[5]->setText(typed);
    }
}

}  // namespace culvex
