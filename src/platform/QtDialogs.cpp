#include "platform/QtDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

namespace culvex {

namespace {

QMessageBox::Icon toQtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QStringList qtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        filters << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters;
}

QtDialogs::QtDialogs(QWidget* parent) : parent_(parent) {}

MessageAnswer QtDialogs::message(const MessageRequest& request) {
    QMessageBox box(toQtIcon(request.icon), request.caption, request.text, QMessageBox::NoButton,
                    parent_);
    if (request.buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int result = box.exec();
    if (request.buttons == MessageButtons::YesNo) {
        return result == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    return MessageAnswer::Ok;
}

std::optional<QString> QtDialogs::input(const InputRequest& request) {
    bool ok = false;
    QString text = QInputDialog::getText(parent_, request.caption, request.prompt,
                                         QLineEdit::Normal, request.initialText, &ok);
    if (!ok) {
        return std::nullopt;
    }
    return text;
}

OpenFilesAnswer QtDialogs::openFiles(const OpenFilesRequest& request) {
    QFileDialog dialog(parent_, request.title, lastFileFolder_);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(qtNameFilters(request.filter));
    if (!request.fileName.isEmpty()) {
        dialog.selectFile(request.fileName);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) {
        return {};
    }
    lastFileFolder_ = dialog.directory().absolutePath();
    if (files.size() == 1) {
        return files;
    }
    OpenFilesAnswer answer{QDir::toNativeSeparators(QFileInfo(files.first()).absolutePath())};
    for (const QString& file : files) {
        answer << QFileInfo(file).fileName();
    }
    return answer;
}

QString QtDialogs::saveFile(const SaveFileRequest& request) {
    QFileDialog dialog(parent_, request.title, lastFileFolder_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setNameFilters(qtNameFilters(request.filter));
    if (!request.fileName.isEmpty()) {
        dialog.selectFile(request.fileName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    lastFileFolder_ = dialog.directory().absolutePath();
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

QString QtDialogs::browseFolder(const FolderRequest& request) {
    const QString folder =
        QFileDialog::getExistingDirectory(parent_, request.title, request.startFolder);
    if (folder.isEmpty()) {
        return {};
    }
    QString native = QDir::toNativeSeparators(QDir::cleanPath(folder));
    return native;
}

}  // namespace culvex
