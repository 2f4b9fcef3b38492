#include "ScriptedDialogs.h"

namespace culvex::testing {

template <class T, class Answer>
T ScriptedDialogs::next(std::deque<Answer>& answers, T fallback) {
    if (onShow) {
        onShow();
    }
    if (answers.empty()) {
        return fallback;
    }
    T answer = answers.front();
    answers.pop_front();
    return answer;
}

MessageAnswer ScriptedDialogs::message(const MessageRequest& request) {
    requests.emplace_back(request);
    const MessageAnswer fallback =
        request.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    return next<MessageAnswer>(messageAnswers, fallback);
}

std::optional<QString> ScriptedDialogs::input(const InputRequest& request) {
    requests.emplace_back(request);
    return next<std::optional<QString>>(inputAnswers, std::nullopt);
}

OpenFilesAnswer ScriptedDialogs::openFiles(const OpenFilesRequest& request) {
    requests.emplace_back(request);
    return next<OpenFilesAnswer>(openAnswers, {});
}

QString ScriptedDialogs::saveFile(const SaveFileRequest& request) {
    requests.emplace_back(request);
    return next<QString>(saveAnswers, {});
}

QString ScriptedDialogs::browseFolder(const FolderRequest& request) {
    requests.emplace_back(request);
    return next<QString>(folderAnswers, {});
}

std::vector<MessageRequest> ScriptedDialogs::messages() const {
    std::vector<MessageRequest> result;
    for (const Request& request : requests) {
        if (const auto* message = std::get_if<MessageRequest>(&request)) {
            result.push_back(*message);
        }
    }
    return result;
}

QStringList ScriptedDialogs::messageTexts() const {
    QStringList texts;
    for (const MessageRequest& message : messages()) {
        texts << message.text;
    }
    return texts;
}

}  // namespace culvex::testing
