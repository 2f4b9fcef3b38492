#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace culvex {

enum class MessageIcon { None, Warning, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct MessageRequest {
    QString text;
    QString caption;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

struct InputRequest {
    QString prompt;
    QString caption;
    QString initialText;
};

// A file dialog's filter, written as pairs "description|pattern[;pattern]|..." as the
// commands give it; the implementation turns it into the toolkit's form.
struct OpenFilesRequest {
    QString title;
    QString filter;
    QString fileName;
};

// The open dialog's answer in the shape the add-files command splits: empty on cancel,
// one full path for a single file, or the folder followed by the chosen names.
using OpenFilesAnswer = QStringList;

struct SaveFileRequest {
    QString title;
    QString filter;
    QString fileName;
};

struct FolderRequest {
    QString title;
    QString startFolder;
};

// Every modal dialog the program shows. The Qt implementation shows real dialogs; tests
// use a scripted fake that records the requests and replays prepared answers.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MessageAnswer message(const MessageRequest& request) = 0;
    // Empty optional when the user cancels.
    virtual std::optional<QString> input(const InputRequest& request) = 0;
    virtual OpenFilesAnswer openFiles(const OpenFilesRequest& request) = 0;
    // Empty text when the user cancels.
    virtual QString saveFile(const SaveFileRequest& request) = 0;
    // The chosen folder without a trailing separator (a root stays as the platform gives
    // it), or empty text on cancel.
    virtual QString browseFolder(const FolderRequest& request) = 0;
};

}  // namespace culvex
