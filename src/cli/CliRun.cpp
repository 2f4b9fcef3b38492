#include "cli/CliRun.h"

#include "choices/RangeChecks.h"
#include "choices/SettingKeys.h"
#include "choices/SettingsFile.h"
#include "cli/CliOptions.h"
#include "cli/ProgressLine.h"
#include "engine/FileExtraction.h"
#include "engine/InputFile.h"

#include <unistd.h>
#include <cerrno>
#include <memory>
#include <stdexcept>
#include <system_error>

#ifndef CULVEX_VERSION
#define CULVEX_VERSION "unknown"
#endif

namespace culvex::cli {
namespace {

constexpr const char* kProgram = "culvex-extract: ";

// An open descriptor (standard input) read to its end, as it streams in.
class DescriptorSource final : public ByteSource {
public:
    explicit DescriptorSource(int fd) : fd_(fd) {}
    std::size_t read(char* into, std::size_t count) override {
        for (;;) {
            const ssize_t got = ::read(fd_, into, count);
            if (got >= 0) {
                return static_cast<std::size_t>(got);
            }
            if (errno != EINTR) {
                throw std::runtime_error("Cannot read standard input: " +
                                         std::generic_category().message(errno));
            }
        }
    }

private:
    int fd_;
};

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

std::unique_ptr<ByteOutput> openOutput(const CliOptions& options, CliStreams& streams) {
    if (!options.outputPath) {
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
        std::unique_ptr<ByteSource> file;
        DescriptorSource input(streams.input);
        if (path != "-") {
            file = std::make_unique<InputFile>(path);
        }
        ProgressLineSource counted(file ? *file : input, progress);
        extractLines(counted, extractor, sink, progress);
    } catch (const OutputFailure&) {
        throw;
    } catch (const std::runtime_error& e) {
        progress.end();
        streams.errors << kProgram << e.what() << '\n';
        return false;
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
    const std::unique_ptr<FormattedSink> sink = makeSink(options.format, *output);
    ProgressLine progress(streams.errors, streams.errorsOnTerminal, options.files.size(), *sink);
    LineExtractor extractor(separatorOf(choices), lineSettingsOf(choices));
    bool allRead = true;
    for (std::size_t i = 0; i < options.files.size(); ++i) {
        progress.startFile(i + 1);
        allRead = extractFile(options.files[i], extractor, *sink, progress, streams) && allRead;
    }
    sink->finish();
    output->finish();
    progress.end();
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
