#include "platform/ProgressWindow.h"

#include "QtTestApplication.h"

#include <gtest/gtest.h>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace culvex {
namespace {

using namespace std::chrono_literals;

class ProgressWindowTest : public ::testing::Test {
protected:
    QStringList shownTexts() const {
        QStringList texts;
        for (const QLabel* label : window.findChildren<QLabel*>()) {
            if (!label->isHidden()) {
                texts << label->text();
            }
        }
        return texts;
    }
    QPushButton& stopButton() { return *window.findChild<QPushButton*>(); }

    QApplication& app = testing::ensureQtApplication();
    std::chrono::milliseconds now{5000};
    ProgressWindow window{nullptr, 1000ms, [this] { return now; }};
};

TEST_F(ProgressWindowTest, AppearsOnlyAfterTheDelayAndClosesAtTheEnd) {
    window.begin(QStringLiteral("Extracting columns"), CommandProgress::Counted::Rows);
    window.file(2, 5, QStringLiteral("orders.csv"));
    window.advance(50, 200, 1234);
    now += 999ms;
    window.tick();
    EXPECT_FALSE(window.isVisible());
    now += 2001ms;
    window.tick();
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Culvex Progress"));
    EXPECT_EQ(stopButton().text(), QStringLiteral("Stop"));
    const QStringList texts = shownTexts();
    for (const QString& text : {QStringLiteral("Extracting columns"), QStringLiteral("file 2 of 5"),
                                QStringLiteral("orders.csv"), QStringLiteral("0:03")}) {
        EXPECT_TRUE(texts.contains(text)) << text.toStdString();
    }
    EXPECT_TRUE(texts.filter(QStringLiteral(" rows")).size() == 1);
    window.end();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ProgressWindowTest, WaitsWhileAModalBoxIsOpen) {
    QDialog box;
    box.setModal(true);
    box.show();
    window.begin(QStringLiteral("Saving results"), CommandProgress::Counted::Rows);
    now += 5s;
    window.tick();
    EXPECT_FALSE(window.isVisible());
    box.hide();
    window.tick();
    EXPECT_TRUE(window.isVisible());
    window.end();
}

TEST_F(ProgressWindowTest, StopButtonEscAndClosingEachStopTheRunningCommand) {
    const std::function<void()> stops[] = {
        [&] { stopButton().click(); },
        [&] {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&window, &escape);
        },
        [&] { window.close(); },
    };
    for (const auto& stop : stops) {
        window.begin(QStringLiteral("Copying results"), CommandProgress::Counted::Rows);
        now += 2s;
        window.tick();
        EXPECT_FALSE(window.stopRequested());
        stop();
        EXPECT_TRUE(window.stopRequested());
        EXPECT_TRUE(window.isVisible());
        window.end();
        EXPECT_FALSE(window.isVisible());
    }
}

// A command run inside another's yield has its own Stop; a Stop after the end stops
// nothing that comes later.
TEST_F(ProgressWindowTest, AStopBelongsToTheCommandRunningThen) {
    window.begin(QStringLiteral("Extracting columns"), CommandProgress::Counted::Rows);
    window.begin(QStringLiteral("Copying results"), CommandProgress::Counted::Rows);
    window.requestStop();
    EXPECT_TRUE(window.stopRequested());
    window.end();
    EXPECT_FALSE(window.stopRequested());
    window.end();
    window.requestStop();
    window.begin(QStringLiteral("Scanning folders"), CommandProgress::Counted::Files);
    EXPECT_FALSE(window.stopRequested());
    window.end();
}

}  // namespace
}  // namespace culvex
