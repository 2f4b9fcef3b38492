#pragma once

#include "platform/Dialogs.h"

class QWidget;

namespace culvex {

// Real modal dialogs over Qt's message box, input dialog and file dialogs.
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr);
    void setParent(QWidget* parent) { parent_ = parent; }

    MessageAnswer message(const MessageRequest& request) override;
    std::optional<QString> input(const InputRequest& request) override;
    OpenFilesAnswer openFiles(const OpenFilesRequest& request) override;
    QString saveFile(const SaveFileRequest& request) override;
    QString browseFolder(const FolderRequest& request) override;

private:
    QWidget* parent_;
    QString lastFileFolder_;
};

// Turns "description|pattern;pattern|description|pattern|" into Qt's name filters.
QStringList qtNameFilters(const QString& filter);
// The same, with every letter of the patterns matching in either case; shown with the
// patterns hidden, the descriptions read as the commands wrote them.
QStringList caseInsensitiveNameFilters(const QString& filter);

// A prompt's text with each CR, LF or CR LF as one line break of the input box's label,
// which would show a lone CR as a space.
QString shownLineBreaks(const QString& text);
// The open dialog's answer for the files it selected (absolute paths): one path alone, or
// the folder that holds them all followed by each file's path from that folder, so that
// names typed from several folders keep their own folders.
OpenFilesAnswer openFilesAnswer(const QStringList& files);
// The patterns of a typed name such as "*.txt" or "*.csv;*.txt", which filter the open
// dialog's listing; empty for a name, a quoted list of names or a name without "*" and "?".
QStringList typedNamePatterns(const QString& typed);

}  // namespace culvex
