#include "preview/SampleReader.h"

#include "platform/FileSystem.h"

#include <QMetaObject>
#include <exception>
#include <mutex>
#include <thread>

namespace culvex {

// What a reading thread shares with the reader: it hands its result over only while the
// reader lives, under the lock that the reader's destructor takes to leave.
struct SampleReader::Mailbox {
    std::mutex lock;
    SampleReader* reader = nullptr;
};

namespace {
constexpr int kMostReads = 2;
}

SampleReader::SampleReader(QObject* parent)
    : QObject(parent), mailbox_(std::make_shared<Mailbox>()) {
    mailbox_->reader = this;
}

SampleReader::~SampleReader() {
    const std::lock_guard guard(mailbox_->lock);
    mailbox_->reader = nullptr;
}

void SampleReader::read(const QString& path) {
    ++latest_;
    if (running_ >= kMostReads) {
        waiting_ = path;
        isWaiting_ = true;
        return;
    }
    start(path, latest_);
}

void SampleReader::start(const QString& path, unsigned request) {
    ++running_;
    std::thread([mailbox = mailbox_, path, native = fs::nativePath(path), request] {
        std::shared_ptr<ReadSample> sample;
        QString error;
        try {
            sample = std::make_shared<ReadSample>();
            sample->sample = readSampleOf(native);
            sample->facts = factsOf(sample->sample);
            sample->fits = rankSeparators(sample->sample.lines);
        } catch (const std::exception& failure) {
            sample.reset();
            error = QString::fromLocal8Bit(failure.what());
        }
        const std::lock_guard guard(mailbox->lock);
        if (SampleReader* reader = mailbox->reader) {
            QMetaObject::invokeMethod(
                reader,
                [reader, path, request, sample, error] {
                    reader->finished(path, request, sample, error);
                },
                Qt::QueuedConnection);
        }
    }).detach();
}

void SampleReader::finished(const QString& path, unsigned request,
                            std::shared_ptr<const ReadSample> sample, const QString& error) {
    --running_;
    if (isWaiting_) {
        isWaiting_ = false;
        start(waiting_, latest_);
    }
    if (request == latest_) {
        emit sampleRead(path, std::move(sample), error);
    }
}

}  // namespace culvex
