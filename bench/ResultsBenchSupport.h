#pragma once

#include "platform/Dialogs.h"

#include <cstddef>
#include <cstdio>
#include <fstream>
#include <string>

namespace culvex::bench {

constexpr std::size_t kTenMillion = 10'000'000;

// Row i of the generated results: 16 bytes, like a typical extracted column. The sink is
// the results model or its store.
template <class Sink>
void appendRows(Sink& sink, std::size_t first, std::size_t count) {
    char row[32];
    for (std::size_t i = first; i < first + count; ++i) {
        const int length = std::snprintf(row, sizeof row, "result-%09zu", i);
        sink.append(std::string_view(row, static_cast<std::size_t>(length)));
    }
}

// Resident memory figures of this process in MB: "VmRSS" now, "VmHWM" the peak since
// the last resetPeakRss().
inline double statusMb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == std::string(field) + ':') {
            double kb = 0;
            status >> kb;
            return kb / 1024.0;
        }
        status.ignore(1 << 10, '\n');
    }
    return 0;
}

inline void resetPeakRss() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Answers every question with Yes and counts the messages, so that a benchmark notices
// an error report.
class CountingDialogs final : public Dialogs {
public:
    int messages = 0;
    MessageAnswer message(const MessageRequest& request) override {
        ++messages;
        return request.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    std::optional<QString> input(const InputRequest&) override { return std::nullopt; }
    OpenFilesAnswer openFiles(const OpenFilesRequest&) override { return {}; }
    QString saveFile(const SaveFileRequest&) override { return {}; }
    QString browseFolder(const FolderRequest&) override { return {}; }
};

}  // namespace culvex::bench
