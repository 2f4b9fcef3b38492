#pragma once

#include "extract/ExtractionControls.h"
#include "platform/SettingsStore.h"
#include "preview/PreviewModel.h"
#include "preview/SeparatorSuggestion.h"

#include <QString>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

class QGridLayout;
class QLabel;
class QTableView;

namespace culvex {

class SampleReader;
struct ReadSample;

// What the preview asks of the main window: the extraction settings as they are, the file
// to show, and the selection of a separator as a click on its button would make it.
class PreviewHost : public ExtractionControls {
public:
    // The selected file of the file list, or its first one; empty when the list is empty.
    virtual QString previewedFile() const = 0;
    // `typed` is the text for "Others:".
    virtual void useSeparator(SeparatorChoice choice, const QString& typed) = 0;
};

// "Culvex Preview": a modeless window that shows how the current settings cut the first
// lines of the previewed file, what the file is, and which separators fit it. It follows
// the main window's settings and file list when told that they changed (`refresh`). The
// file's sample is read on another thread; every settings change cuts the sample again,
// which takes a few milliseconds at most. Its size and position are stored when changed.
class PreviewWindow final : public QWidget {
    Q_OBJECT
public:
    PreviewWindow(PreviewHost& host, SettingsStore& settings, QWidget* parent);

    // Shows the current file and settings soon; several calls in a row make one update.
    void refresh();
    // Shows and raises the window.
    void open();

    const PreviewModel& model() const { return *model_; }

signals:
    // The table shows the current file with the current settings.
    void updated();

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void build();
    void showCurrent();
    void sampleRead(const QString& path, std::shared_ptr<const ReadSample> read,
                    const QString& error);
    void showSample();
    void showSuggestions();
    QString summary() const;
    void restoreGeometry();
    void storeGeometry();
    QString geometryText() const;

    PreviewHost& host_;
    SettingsStore& settings_;
    PreviewModel* model_;
    SampleReader* reader_;
    QLabel* fileLabel_ = nullptr;
    QLabel* factsLabel_ = nullptr;
    QTableView* table_ = nullptr;
    QGridLayout* suggestions_ = nullptr;
    QTimer pending_;
    QTimer geometryTimer_;
    QString file_;       // the file shown or being read
    QString requested_;  // the file asked for last
    std::shared_ptr<const ReadSample> read_;
    std::shared_ptr<const Sample> sample_;  // the sample of read_
    QString storedGeometry_;
    bool placed_ = false;  // the window stands where it was restored or first shown
};

}  // namespace culvex
