#include "cli/CliRun.h"

#include "choices/RangeChecks.h"
#include "choices/SettingKeys.h"
#include "choices/SettingsFile.h"
#include "cli/CliOptions.h"
#include "cli/ProgressLine.h"
#include "engine/FileExtraction.h"
#include "engine/InputFile.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <functional>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <utility>

#ifndef CULVEX_VERSION
#define CULVEX_VERSION "unknown"
#endif

namespace culvex::cli {
namespace {

constexpr const char* kProgram = "culvex-extract: ";

// The blocks each thread has in hand (and their rows) take a few MiB in all, as a filter
// beside cut should.
constexpr std::size_t kReadBlockBytes = kBlockBytes;

// An open descriptor read to its end as it streams in: standard input, a pipe, a device.
// Before a read that would wait for more bytes, `beforeWait` runs, so that the rows of
// the lines already read go out first.
class DescriptorSource final : public ByteSource {
public:
    DescriptorSource(int fd, bool owned, std::string name, std::function<void()> beforeWait)
        : fd_(fd), owned_(owned), name_(std::move(name)), beforeWait_(std::move(beforeWait)) {}
    ~DescriptorSource() override {
        if (owned_) {
            ::close(fd_);
        }
    }
    DescriptorSource(const DescriptorSource&) = delete;
    DescriptorSource& operator=(const DescriptorSource&) = delete;

    std::size_t read(char* into, std::size_t count) override {
        if (beforeWait_ && !readableNow()) {
            beforeWait_();
        }
        for (;;) {
            const ssize_t got = ::read(fd_, into, count);
            if (got >= 0) {
                return static_cast<std::size_t>(got);
            }
            if (errno != EINTR) {
                throw std::runtime_error("Cannot read " + name_ + ": " +
                                         std::generic_category().message(errno));
            }
        }
    }

private:
    bool readableNow() const {
        pollfd ready{.fd = fd_, .events = POLLIN, .revents = 0};
        return ::poll(&ready, 1, 0) != 0;
    }

    int fd_;
    bool owned_;
    std::string name_;
    std::function<void()> beforeWait_;
};

// An input opened for reading: a regular file by its size, on every core; anything else as
// a stream, line by line on one thread, so that no row waits for lines not yet arrived.
struct OpenInput {
    std::unique_ptr<ByteSource> source;
    bool stream = false;
};

bool isRegular(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

// FILE as named on the command line; throws std::runtime_error naming it and the reason.
OpenInput openInput(const std::string& path, int standardInput, FormattedSink& sink) {
    const auto flush = [&sink] { sink.flush(); };
    if (path == "-") {
        const bool stream = !isRegular(standardInput);
        return {std::make_unique<DescriptorSource>(standardInput, false, "standard input",
                                                   stream ? flush : std::function<void()>()),
                stream};
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) {
        return {std::make_unique<InputFile>(path), false};
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error("Cannot open " + path + ": " +
                                 std::generic_category().message(errno));
    }
    return {std::make_unique<DescriptorSource>(fd, true, path, flush), true};
}

// Counts the bytes read for the progress line.
class ProgressLineSource final : public ByteSource {
public:
    ProgressLineSource(ByteSource& source, ProgressLine& progress)
        : source_(source), progress_(progress) {}
    std::size_t read(char* into, std::size_t count) override {
        const std::size_t got = source_.read(into, count);
        progress_.addBytes(got);
        return got;
    }

private:
    ByteSource& source_;
    ProgressLine& progress_;
};

// The window's settings file, or none.
SettingsFile settingsFile(const CliOptions& options, const CliStreams& streams) {
    if (!options.useSettings) {
        return SettingsFile({}, setting::kSection);
    }
    try {
        return SettingsFile(readSettingsBytes(streams.settingsPath), setting::kSection);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error("Cannot read " + streams.settingsPath + ": " + e.what());
    }
}

// The window's first-run choices, or its stored ones, with the options given applied.
ExtractionChoices startingChoices(const CliOptions& options, const CliStreams& streams) {
    const SettingsFile stored = settingsFile(options, streams);
    ExtractionChoices choices = storedChoices(
        [&stored](std::string_view key) { return stored.value(key); }, streams.numbers);
    applyOptions(options, choices);
    return choices;
}

void extractSource(const OpenInput& input, LineExtractor& extractor, FormattedSink& sink,
                   ProgressLine& progress) {
    ProgressLineSource counted(*input.source, progress);
    const ExtractionThreads threads{.count = input.stream ? 1u : 0u};
    extractLines(counted, extractor, sink, progress, kPauseEveryBytes, kReadBlockBytes, threads);
}

// Rows come out faster than a reader of the default 64 KiB pipe may drain them: a larger
// pipe spares the writer a wait and a wake for every 64 KiB. Where the output is not a pipe,
// the system refuses or has no settable pipe size, it stays as it is.
void enlargePipe([[maybe_unused]] int fd) {
#ifdef F_SETPIPE_SZ
    constexpr int kPipeBytes = 1 << 20;
    struct stat status {};
    if (fstat(fd, &status) == 0 && S_ISFIFO(status.st_mode)) {
        fcntl(fd, F_SETPIPE_SZ, kPipeBytes);
    }
#endif
}

std::unique_ptr<ByteOutput> openOutput(const CliOptions& options, CliStreams& streams) {
    if (!options.outputPath) {
        enlargePipe(streams.output);
        return std::make_unique<DescriptorOutput>(streams.output);
    }
    return std::make_unique<FileOutput>(*options.outputPath, streams.files);
}

// Extracts one file into the sink; false when it could not be read or a line overflowed
// the column index, which is reported. An output that fails ends the run (OutputFailure).
bool extractFile(const std::string& path, LineExtractor& extractor, FormattedSink& sink,
                 ProgressLine& progress, CliStreams& streams) {
    const std::string name = path == "-" ? "standard input" : path;
    try {
        extractSource(openInput(path, streams.input, sink), extractor, sink, progress);
    } catch (const OutputFailure&) {
        throw;
    } catch (const std::runtime_error& e) {
        sink.endSource();
        progress.end();
        streams.errors << kProgram << e.what() << '\n';
        return false;
    }
    sink.endSource();
    if (const std::size_t open = progress.takeOpenQuotes(); open > 0) {
        progress.end();
        streams.errors << kProgram << name << ": " << open
                       << " line(s) with a quote not closed within 1 MiB, read from that quote "
                          "on as unquoted text\n";
    }
    if (const std::size_t overflows = progress.takeOverflows(); overflows > 0) {
        progress.end();
        streams.errors << kProgram << name << ": " << overflows
                       << " line(s) beyond 32767 columns or with a position out of range "
                          "yielded no rows\n";
        return false;
    }
    return true;
}

int extractAll(const CliOptions& options, const ExtractionChoices& choices, CliStreams& streams) {
    const std::unique_ptr<ByteOutput> output = openOutput(options, streams);
    const std::unique_ptr<FormattedSink> sink =
        makeSink(options.format, *output, options.join, choices.quoted);
    if (options.lineBuffered || (streams.outputOnTerminal && !options.outputPath)) {
        sink->writeEagerly();
    }
    ProgressLine progress(streams.errors, streams.errorsOnTerminal, options.files.size(), *sink);
    LineSettings settings = lineSettingsOf(choices);
    settings.keepEmptyColumns = sink->keepsLines();
    settings.markLineEnds = sink->keepsLines();
    settings.endAtLastColumn = endsAtLastColumn(options);
    LineExtractor extractor(separatorOf(choices), std::move(settings));
    bool allRead = true;
    for (std::size_t i = 0; i < options.files.size(); ++i) {
        progress.startFile(i + 1);
        allRead = extractFile(options.files[i], extractor, *sink, progress, streams) && allRead;
    }
    sink->finish();
    progress.end();
    if (allRead) {
        output->finish();
    } else if (options.outputPath) {
        streams.errors << kProgram << *options.outputPath << " left as it was\n";
    }
    return allRead ? kExitDone : kExitFailed;
}

}  // namespace

int runCli(const std::vector<std::string>& args, CliStreams& streams) {
    CliOptions options;
    ExtractionChoices choices;
    try {
        options = parseArguments(args);
        if (options.help || options.version) {
            const std::string text =
                options.help ? std::string(kUsage) : "culvex-extract " CULVEX_VERSION "\n";
            DescriptorOutput(streams.output).write(text);
            return kExitDone;
        }
        choices = startingChoices(options, streams);
    } catch (const std::exception& e) {
        streams.errors << kProgram << e.what() << "\nTry 'culvex-extract --help'.\n";
        return kExitUsage;
    }
    if (const auto problem = rangeProblem(choices, streams.numbers)) {
        if (problem->conversionFailure) {
            streams.errors << kProgram << *problem->conversionFailure << '\n';
        }
        streams.errors << kProgram << problem->message << '\n';
        return kExitUsage;
    }
    try {
        return extractAll(options, choices, streams);
    } catch (const std::exception& e) {
        streams.errors << kProgram << e.what() << '\n';
        return kExitFailed;
    }
}

}  // namespace culvex::cli
