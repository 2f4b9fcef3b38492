#pragma once

#include <QSaveFile>
#include <string>
#include <string_view>

namespace culvex {

// Writes a text file line by line, each line followed by CR LF, with the bytes given
// (already in the file's code page). The lines go to a temporary file beside the target
// that replaces the target only when close() succeeds, so a save that fails half-way
// leaves the old file whole.
class TextFileWriter {
public:
    // Throws std::runtime_error with the platform's wording when the file cannot be
    // created or replaced (missing folder, read-only file, a folder of that name).
    explicit TextFileWriter(const QString& path);

    // Write failures (a full disk) are remembered and reported by close().
    void writeLine(std::string_view bytes);

    // Puts the complete file in place; throws std::runtime_error when it cannot.
    void close();

private:
    void flush();

    QSaveFile file_;
    std::string buffer_;
};

}  // namespace culvex
