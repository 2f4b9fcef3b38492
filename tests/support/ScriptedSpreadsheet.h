#pragma once

#include "platform/BlockingCall.h"
#include "platform/Spreadsheet.h"

#include <QStringList>
#include <future>
#include <set>
#include <stdexcept>

namespace culvex::testing {

// A spreadsheet that records every call, in order, in `calls` and fails where the test says:
// "start" (application started), "workbook", "cell R,C=text", "autofit", "visible",
// "release" (application released). A call that never answers waits through the time
// limit as the real application's calls do, and is recorded as "<call> abandoned".
class ScriptedSpreadsheet final : public Spreadsheet {
public:
    QStringList calls;
    std::set<int> failingStarts;     // these starts fail, counted from 1
    std::set<int> hangingStarts;     // these starts never answer
    std::set<QString> hangingCalls;  // "workbook", "autofit", "visible" never answer
    std::chrono::milliseconds limit{50};
    bool failWorkbook = false;
    bool failAutoFit = false;
    bool failVisible = false;
    std::set<int> failingRows;  // setCell on these sheet rows fails
    int rows = 1048576;

    ~ScriptedSpreadsheet() override { answer_.set_value(); }

    std::unique_ptr<SpreadsheetApplication> createApplication() override {
        if (hangingStarts.count(++starts_) != 0) {
            hang("start");
        }
        if (failingStarts.count(starts_) != 0) {
            calls << QStringLiteral("start failed");
            throw std::runtime_error("Cannot start the spreadsheet");
        }
        calls << QStringLiteral("start");
        return std::make_unique<Application>(*this);
    }

private:
    class Workbook final : public SpreadsheetWorkbook {
    public:
        explicit Workbook(ScriptedSpreadsheet& owner) : owner_(owner) {}
        int maxRows() const override { return owner_.rows; }
        void setCell(int row, int column, const QString& text) override {
            if (owner_.failingRows.count(row) != 0) {
                throw std::runtime_error("Refused value");
            }
            owner_.calls << QStringLiteral("cell %1,%2=%3").arg(row).arg(column).arg(text);
        }
        void autoFitColumns() override { owner_.record(owner_.failAutoFit, "autofit"); }

    private:
        ScriptedSpreadsheet& owner_;
    };

    class Application final : public SpreadsheetApplication {
    public:
        explicit Application(ScriptedSpreadsheet& owner) : owner_(owner) {}
        ~Application() override { owner_.calls << QStringLiteral("release"); }
        std::unique_ptr<SpreadsheetWorkbook> addWorkbook() override {
            owner_.record(owner_.failWorkbook, "workbook");
            return std::make_unique<Workbook>(owner_);
        }
        void makeVisible() override { owner_.record(owner_.failVisible, "visible"); }

    private:
        ScriptedSpreadsheet& owner_;
    };

    int starts_ = 0;
    // Hanging calls wait for this until the spreadsheet goes, so no worker outlives the test
    // for long.
    std::promise<void> answer_;
    std::shared_future<void> answered_ = answer_.get_future().share();

    void hang(const char* call) {
        if (!runBlocking([answered = answered_] { answered.wait(); }, limit)) {
            calls << QStringLiteral("%1 abandoned").arg(QLatin1String(call));
            throw SpreadsheetTimeout(limit);
        }
    }
    void record(bool fail, const char* call) {
        if (hangingCalls.count(QString::fromLatin1(call)) != 0) {
            hang(call);
        }
        if (fail) {
            throw std::runtime_error(std::string(call) + " refused");
        }
        calls << QString::fromLatin1(call);
    }
};

}  // namespace culvex::testing
