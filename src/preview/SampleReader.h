#pragma once

#include "preview/FileFacts.h"
#include "preview/PreviewSample.h"
#include "preview/SeparatorSuggestion.h"

#include <QObject>
#include <QString>
#include <memory>

namespace culvex {

// A file's sample with what does not depend on the settings, worked out where it was read.
struct ReadSample {
    Sample sample;
    FileFacts facts;
    std::vector<SeparatorFit> fits;
};

// Reads the preview's sample of a file on a thread of its own, so that a slow disk never
// holds up the window; the result comes back as a signal on the window's thread. Only the
// latest request counts: an older one's result is dropped. At most two reads run at once;
// a request made while both run waits for one of them.
class SampleReader final : public QObject {
    Q_OBJECT
public:
    explicit SampleReader(QObject* parent = nullptr);
    ~SampleReader() override;

    void read(const QString& path);

signals:
    // `read` is null when the file could not be read; `error` then says why.
    void sampleRead(const QString& path, std::shared_ptr<const ReadSample> read,
                    const QString& error);

private:
    struct Mailbox;
    void start(const QString& path, unsigned request);
    void finished(const QString& path, unsigned request, std::shared_ptr<const ReadSample> read,
                  const QString& error);

    std::shared_ptr<Mailbox> mailbox_;
    unsigned latest_ = 0;
    int running_ = 0;
    QString waiting_;  // the path of a request that waits for a free read
    bool isWaiting_ = false;
};

}  // namespace culvex
