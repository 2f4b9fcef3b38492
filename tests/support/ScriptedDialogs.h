#pragma once

#include "platform/Dialogs.h"

#include <deque>
#include <functional>
#include <variant>
#include <vector>

namespace culvex::testing {

// Records every dialog a command shows and answers from a script. A dialog without a
// scripted answer gets the default: OK, Yes for questions, cancel for everything else.
class ScriptedDialogs final : public Dialogs {
public:
    using Request = std::variant<MessageRequest, InputRequest, OpenFilesRequest, SaveFileRequest,
                                 FolderRequest>;

    std::vector<Request> requests;
    std::deque<MessageAnswer> messageAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::deque<OpenFilesAnswer> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<QString> folderAnswers;
    // Runs while a dialog is "open", for tests that act during a modal box.
    std::function<void()> onShow;

    MessageAnswer message(const MessageRequest& request) override;
    std::optional<QString> input(const InputRequest& request) override;
    OpenFilesAnswer openFiles(const OpenFilesRequest& request) override;
    QString saveFile(const SaveFileRequest& request) override;
    QString browseFolder(const FolderRequest& request) override;

    // The message boxes shown, in order.
    std::vector<MessageRequest> messages() const;
    // Just their texts.
    QStringList messageTexts() const;

private:
    template <class T, class Answer>
    T next(std::deque<Answer>& answers, T fallback);
};

}  // namespace culvex::testing
