#pragma once

#include "platform/CommandProgress.h"

#include <QDialog>
#include <QTimer>
#include <chrono>
#include <functional>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;

namespace culvex {

// The small modeless window "Culvex Progress" over the main window. It appears once a
// command has run for `delay`, never taking the keyboard from another window, and closes
// when the command ends. Its "Stop" button, Esc while it has the focus, and closing it
// all ask the running command to stop. It brings itself up to date from a timer, which
// runs while the command yields, so a command's reports cost it no drawing.
class ProgressWindow final : public QDialog, public CommandProgress {
public:
    using Clock = std::function<std::chrono::milliseconds()>;

    explicit ProgressWindow(QWidget* parent = nullptr,
                            std::chrono::milliseconds delay = std::chrono::seconds(1),
                            Clock clock = steadyClock);

    void begin(const QString& task, Counted counted) override;
    void file(int number, int count, const QString& name) override;
    void advance(std::int64_t done, std::int64_t total, std::int64_t count) override;
    bool stopRequested() const override { return !tasks_.empty() && tasks_.back().stop; }
    void end() override;

    // Shows the window when the first running command has run for the delay and no modal
    // box is open, and shows the running command's latest state.
    void tick();
    void requestStop();

    static std::chrono::milliseconds steadyClock();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Task {
        QString task;
        Counted counted = Counted::Rows;
        std::chrono::milliseconds started{0};
        int fileNumber = 0;
        int fileCount = 0;
        QString fileName;
        std::int64_t done = 0;
        std::int64_t total = 0;
        std::int64_t count = 0;
        bool stop = false;
    };

    void showTask(const Task& task);

    std::chrono::milliseconds delay_;
    Clock clock_;
    std::vector<Task> tasks_;
    QTimer timer_;
    QLabel* task_;
    QLabel* file_;
    QLabel* fileName_;
    QProgressBar* bar_;
    QLabel* count_;
    QLabel* elapsed_;
    QPushButton* stop_;
};

}  // namespace culvex
