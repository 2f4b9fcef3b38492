#include "platform/QtDialogs.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <algorithm>

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

// Letters in either case: "*.csv" becomes "*.[cC][sS][vV]".
QString caseInsensitivePattern(const QString& pattern) {
    QString result;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper()) {
            result += u'[' + c.toLower() + c.toUpper() + u']';
        } else {
            result += c;
        }
    }
    return result;
}

// A multi-select open dialog that also takes a typed name of a file that does not exist.
class OpenFilesDialog final : public QFileDialog {
public:
    OpenFilesDialog(QWidget* parent, const QString& title, const QString& folder)
        : QFileDialog(parent, title, folder) {
        setOption(QFileDialog::DontUseNativeDialog, true);
        setFileMode(QFileDialog::ExistingFiles);
        setAcceptMode(QFileDialog::AcceptOpen);
        auto* nameEdit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        if (nameEdit != nullptr && buttons != nullptr) {
            connect(nameEdit, &QLineEdit::textChanged, this, [buttons](const QString& text) {
                QPushButton* open = buttons->button(QDialogButtonBox::Open);
                if (open != nullptr && !text.isEmpty()) {
                    open->setEnabled(true);
                }
            });
        }
    }

    // The toolkit refuses names of missing files; this dialog hands them back instead.
    // A folder's name still opens that folder, and a typed pattern filters the listing.
    void accept() override {
        if (filterByTypedPattern()) {
            return;
        }
        const QStringList files = selectedFiles();
        const bool namesFolder = std::any_of(files.cbegin(), files.cend(),
                                             [](const QString& f) { return QFileInfo(f).isDir(); });
        if (files.isEmpty() || namesFolder) {
            QFileDialog::accept();
            return;
        }
        QDialog::accept();
    }

private:
    bool filterByTypedPattern() {
        auto* nameEdit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* model = findChild<QFileSystemModel*>();
        if (nameEdit == nullptr || model == nullptr) {
            return false;
        }
        const QStringList patterns = typedNamePatterns(nameEdit->text());
        if (patterns.isEmpty()) {
            return false;
        }
        QStringList filters;
        for (const QString& pattern : patterns) {
            filters << caseInsensitivePattern(pattern);
        }
        model->setNameFilters(filters);
        nameEdit->clear();
        return true;
    }
};

// Widens the box so that each line of the text fits on one line of the screen (up to a
// limit): a web address or a path broken in two is hard to read and to copy.
void keepLinesWhole(QMessageBox& box, const QString& text) {
    constexpr int kWidestLine = 720;
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (label == nullptr) {
        return;
    }
    static const QRegularExpression lineBreak(QStringLiteral("\\r\\n|\\r|\\n"));
    int widest = 0;
    for (const QString& line : text.split(lineBreak)) {
        widest = std::max(widest, label->fontMetrics().horizontalAdvance(line));
    }
    label->setMinimumWidth(std::min(widest + 2, kWidestLine));
}

// "*.*" names every file, with or without a dot; the toolkit would read it literally,
// hide names without a dot and put ".*" in place of a typed name's extension.
QString qtPattern(const QString& pattern) {
    return pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern;
}

}  // namespace

QStringList typedNamePatterns(const QString& typed) {
    if (typed.contains(u'"') || (!typed.contains(u'*') && !typed.contains(u'?'))) {
        return {};
    }
    QStringList patterns;
    for (const QString& pattern : typed.split(u';', Qt::SkipEmptyParts)) {
        if (!pattern.trimmed().isEmpty()) {
            patterns << pattern.trimmed();
        }
    }
    return patterns;
}

OpenFilesAnswer openFilesAnswer(const QStringList& files) {
    if (files.size() < 2) {
        return files;
    }
    QString folder = QFileInfo(files.first()).absolutePath();
    for (const QString& file : files) {
        while (!file.startsWith(folder == QStringLiteral("/") ? folder : folder + u'/')) {
            folder = QFileInfo(folder).absolutePath();
        }
    }
    OpenFilesAnswer answer{QDir::toNativeSeparators(folder)};
    const QDir common(folder);
    for (const QString& file : files) {
        answer << QDir::toNativeSeparators(common.relativeFilePath(file));
    }
    return answer;
}

QStringList caseInsensitiveNameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            patterns << caseInsensitivePattern(qtPattern(pattern));
        }
        filters << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters;
}

QStringList qtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            patterns << qtPattern(pattern);
        }
        filters << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters;
}

QString shownLineBreaks(const QString& text) {
    return QString(text)
        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(u'\r', u'\n');
}

QtDialogs::QtDialogs(QWidget* parent) : parent_(parent) {}

MessageAnswer QtDialogs::message(const MessageRequest& request) {
    QMessageBox box(toQtIcon(request.icon), request.caption, request.text, QMessageBox::NoButton,
                    parent_);
    keepLinesWhole(box, request.text);
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
    QString text = QInputDialog::getText(parent_, request.caption, shownLineBreaks(request.prompt),
                                         QLineEdit::Normal, request.initialText, &ok);
    if (!ok) {
        return std::nullopt;
    }
    return text;
}

OpenFilesAnswer QtDialogs::openFiles(const OpenFilesRequest& request) {
    OpenFilesDialog dialog(parent_, request.title, lastFileFolder_);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilters(caseInsensitiveNameFilters(request.filter));
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
    return openFilesAnswer(files);
}

QString QtDialogs::saveFile(const SaveFileRequest& request) {
    QFileDialog dialog(parent_, request.title, lastFileFolder_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    // Each row shows its description alone ("Text Files (*.txt)"), as the filter names it.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
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
