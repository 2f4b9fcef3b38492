#include "platform/TextFileWriter.h"

#include <stdexcept>

namespace culvex {

namespace {

constexpr std::size_t kBufferBytes = 1 << 20;

[[noreturn]] void fail(const QFileDevice& file) {
    throw std::runtime_error(file.errorString().toStdString());
}

}  // namespace

TextFileWriter::TextFileWriter(const QString& path) : file_(path) {
    if (!file_.open(QIODevice::WriteOnly)) {
        fail(file_);
    }
    buffer_.reserve(kBufferBytes);
}

void TextFileWriter::writeLine(std::string_view bytes) {
    buffer_.append(bytes);
    buffer_.append("\r\n");
    if (buffer_.size() >= kBufferBytes) {
        flush();
    }
}

void TextFileWriter::close() {
    flush();
    if (!file_.commit()) {
        fail(file_);
    }
}

void TextFileWriter::flush() {
    if (!buffer_.empty()) {
        file_.write(buffer_.data(), static_cast<qint64>(buffer_.size()));
        buffer_.clear();
    }
}

}  // namespace culvex
