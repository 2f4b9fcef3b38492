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

}  // namespace culvex
