#include "platform/ProgressWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace culvex {

namespace {

constexpr int kBarSteps = 1000;
constexpr int kRefreshMs = 100;
constexpr int kMinimumWidth = 360;
constexpr int kStopWidth = 90;

QString countText(std::int64_t count, CommandProgress::Counted counted) {
    const QString number = QLocale().toString(static_cast<qlonglong>(count));
    return counted == CommandProgress::Counted::Rows ? number + QStringLiteral(" rows")
                                                     : number + QStringLiteral(" files found");
}

QString elapsedText(std::chrono::milliseconds elapsed) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

ProgressWindow::ProgressWindow(QWidget* parent, std::chrono::milliseconds delay, Clock clock)
    : QDialog(parent),
      delay_(delay),
      clock_(std::move(clock)),
      task_(new QLabel(this)),
      file_(new QLabel(this)),
      fileName_(new QLabel(this)),
      bar_(new QProgressBar(this)),
      count_(new QLabel(this)),
      elapsed_(new QLabel(this)),
      stop_(new QPushButton(QStringLiteral("Stop"), this)) {
    setObjectName(QStringLiteral("ProgressWindow"));
    setWindowTitle(QStringLiteral("Culvex Progress"));
    setModal(false);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMinimumWidth(kMinimumWidth);
    stop_->setAutoDefault(false);
    stop_->setMinimumWidth(kStopWidth);
    auto* counts = new QHBoxLayout;
    counts->addWidget(count_);
    counts->addStretch();
    counts->addWidget(elapsed_);
    auto* layout = new QVBoxLayout(this);
    for (QWidget* widget : {static_cast<QWidget*>(task_), static_cast<QWidget*>(file_),
                            static_cast<QWidget*>(fileName_), static_cast<QWidget*>(bar_)}) {
        layout->addWidget(widget);
    }
    layout->addLayout(counts);
    layout->addWidget(stop_, 0, Qt::AlignHCenter);
    connect(stop_, &QPushButton::clicked, this, &ProgressWindow::requestStop);
    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, &ProgressWindow::tick);
}

std::chrono::milliseconds ProgressWindow::steadyClock() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void ProgressWindow::begin(const QString& task, Counted counted) {
    Task started;
    started.task = task;
    started.counted = counted;
    started.started = clock_();
    tasks_.push_back(std::move(started));
    timer_.start();
}

void ProgressWindow::file(int number, int count, const QString& name) {
    if (!tasks_.empty()) {
        Task& task = tasks_.back();
        task.fileNumber = number;
        task.fileCount = count;
        task.fileName = name;
    }
}

void ProgressWindow::advance(std::int64_t done, std::int64_t total, std::int64_t count) {
    if (!tasks_.empty()) {
        Task& task = tasks_.back();
        task.done = done;
        task.total = total;
        task.count = count;
    }
}

void ProgressWindow::end() {
    if (!tasks_.empty()) {
        tasks_.pop_back();
    }
    if (tasks_.empty()) {
        timer_.stop();
        hide();
    }
}

void ProgressWindow::tick() {
    if (tasks_.empty()) {
        return;
    }
    if (!isVisible()) {
        if (clock_() - tasks_.front().started < delay_ ||
            QApplication::activeModalWidget() != nullptr) {
            return;
        }
        showTask(tasks_.back());
        show();
        return;
    }
    showTask(tasks_.back());
}

void ProgressWindow::showTask(const Task& task) {
    task_->setText(task.task);
    const bool hasFile = task.fileCount > 0;
    file_->setVisible(hasFile);
    fileName_->setVisible(hasFile);
    if (hasFile) {
        file_->setText(QStringLiteral("file %1 of %2").arg(task.fileNumber).arg(task.fileCount));
        fileName_->setText(task.fileName);
    }
    if (task.total > 0) {
        bar_->setRange(0, kBarSteps);
        bar_->setValue(static_cast<int>(std::min(task.done, task.total) * kBarSteps / task.total));
    } else {
        bar_->setRange(0, 0);
    }
    count_->setText(countText(task.count, task.counted));
    elapsed_->setText(elapsedText(clock_() - task.started));
    stop_->setEnabled(!task.stop);
}

void ProgressWindow::requestStop() {
    if (!tasks_.empty()) {
        tasks_.back().stop = true;
        stop_->setEnabled(false);
    }
}

// Esc asks the command to stop; the window stays until the command has ended.
void ProgressWindow::reject() { requestStop(); }

void ProgressWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    requestStop();
}

}  // namespace culvex
