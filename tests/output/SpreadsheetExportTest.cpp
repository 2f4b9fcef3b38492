#include "output/SpreadsheetExport.h"

#include "CommandFakes.h"
#include "FakePlatform.h"
#include "ScriptedDialogs.h"
#include "ScriptedSpreadsheet.h"
#include "command/ErrorReport.h"
#include "command/PlainMessage.h"

#include <gtest/gtest.h>

namespace culvex {
namespace {

using testing::CommandFakes;
using testing::ScriptedDialogs;
using testing::ScriptedSpreadsheet;

const QString kTestMessage =
    u"Excel is not installed on this computer. You need to have it installed to use this "
    u"software without error."_qs;
const QString kCommandMessage =
    u"Excel is not installed on this computer. You need to have it installed to use this "
    u"feature."_qs;

struct Export : CommandFakes {
    ResultsModel results;
    ScriptedSpreadsheet spreadsheet;

    explicit Export(std::initializer_list<std::string_view> rows) {
        for (std::string_view row : rows) {
            results.append(row);
        }
        results.publish();
    }
    void run() { exportToSpreadsheet(results, spreadsheet, context()); }
    QString report(const QString& description, int label) const {
        return errorReportText(description, formLocation(u"PushButton5_Click"_qs), label);
    }
};

TEST(SpreadsheetExport, WritesHeaderAndRowsThenFitsAndShows) {
    Export e{"a1", "", "007", "\x80 caf\xe9 \xff", "\xEF\xBB\xBFna\xC3\xAFve \xE6\x97\xA5"};
    e.run();
    EXPECT_EQ(e.spreadsheet.calls,
              (QStringList{u"start"_qs, u"release"_qs, u"start"_qs, u"workbook"_qs,
                           u"cell 1,1=Results"_qs, u"cell 2,1=a1"_qs, u"cell 4,1=007"_qs,
                           u"cell 5,1=\u20ac caf\u00e9 \u00ff"_qs, u"cell 6,1=naïve 日"_qs,
                           u"autofit"_qs, u"visible"_qs, u"release"_qs}));
    EXPECT_TRUE(e.dialogs.requests.empty());
    EXPECT_EQ(e.pointer.history, (std::vector{PointerState::Busy, PointerState::Default}));
    EXPECT_EQ(e.yielder.calls, 1 + 5 * 2);  // the header's column, then each row and value
}

TEST(SpreadsheetExport, EmptyFirstRowLeavesA1Empty) {
    Export e{"", "x"};
    e.run();
    EXPECT_EQ(e.spreadsheet.calls.mid(4, 2), (QStringList{u"cell 3,1=x"_qs, u"autofit"_qs}));
}

TEST(SpreadsheetExport, MissingSpreadsheetShowsBothMessagesAndNothingElse) {
    for (auto rows : {std::initializer_list<std::string_view>{"a"},
                      std::initializer_list<std::string_view>{}}) {
        Export e(rows);
        e.spreadsheet.failingStarts = {1};
        e.run();
        EXPECT_EQ(e.dialogs.messageTexts(), (QStringList{kTestMessage, kCommandMessage}));
        for (const MessageRequest& m : e.dialogs.messages()) {
            EXPECT_EQ(m.caption, u"Culvexa"_qs);
            EXPECT_EQ(m.icon, MessageIcon::None);
            EXPECT_EQ(m.buttons, MessageButtons::Ok);
        }
        EXPECT_EQ(e.spreadsheet.calls, QStringList{u"start failed"_qs});
        EXPECT_TRUE(e.pointer.history.empty());
    }
}

TEST(SpreadsheetExport, EmptyListEndsAfterThePresenceTest) {
    Export e{};
    e.run();
    EXPECT_EQ(e.spreadsheet.calls, (QStringList{u"start"_qs, u"release"_qs}));
    EXPECT_TRUE(e.dialogs.requests.empty());
    EXPECT_TRUE(e.pointer.history.empty());
}

TEST(SpreadsheetExport, PresenceTestAloneShowsOnlyItsOwnMessage) {
    ScriptedSpreadsheet spreadsheet;
    ScriptedDialogs dialogs;
    EXPECT_TRUE(SaveResultsAsExcelFileIsExcelInstalled(spreadsheet, dialogs));
    spreadsheet.failingStarts = {2};
    EXPECT_FALSE(SaveResultsAsExcelFileIsExcelInstalled(spreadsheet, dialogs));
    spreadsheet.hangingStarts = {3};
    EXPECT_THROW(SaveResultsAsExcelFileIsExcelInstalled(spreadsheet, dialogs), SpreadsheetTimeout);
    EXPECT_EQ(dialogs.messageTexts(), QStringList{kTestMessage});
}

TEST(SpreadsheetExport, FailuresAreReportedWithTheirStepsLabel) {
    const QString kSilent = u"The spreadsheet did not answer within 50 milliseconds."_qs;
    struct Case {
        const char* name;
        std::function<void(ScriptedSpreadsheet&)> arrange;
        QString description;
        int label;
        QStringList calls;  // after the presence test's start and release
    };
    const Case cases[] = {
        {"start",
         [](auto& s) { s.failingStarts = {2}; },
         u"Cannot start the spreadsheet"_qs,
         112,
         {u"start failed"_qs}},
        {"workbook",
         [](auto& s) { s.failWorkbook = true; },
         u"workbook refused"_qs,
         114,
         {u"start"_qs, u"release"_qs}},
        {"header",
         [](auto& s) { s.failingRows = {1}; },
         u"Refused value"_qs,
         126,
         {u"start"_qs, u"workbook"_qs, u"cell 2,1=a"_qs, u"cell 3,1=b"_qs, u"autofit"_qs,
          u"visible"_qs, u"release"_qs}},
        {"row",
         [](auto& s) { s.failingRows = {2}; },
         u"Refused value"_qs,
         156,
         {u"start"_qs, u"workbook"_qs, u"cell 1,1=Results"_qs, u"cell 3,1=b"_qs, u"autofit"_qs,
          u"visible"_qs, u"release"_qs}},
        {"autofit",
         [](auto& s) { s.failAutoFit = true; },
         u"autofit refused"_qs,
         172,
         {u"start"_qs, u"workbook"_qs, u"cell 1,1=Results"_qs, u"cell 2,1=a"_qs, u"cell 3,1=b"_qs,
          u"visible"_qs, u"release"_qs}},
        {"visible",
         [](auto& s) { s.failVisible = true; },
         u"visible refused"_qs,
         174,
         {u"start"_qs, u"workbook"_qs, u"cell 1,1=Results"_qs, u"cell 2,1=a"_qs, u"cell 3,1=b"_qs,
          u"autofit"_qs, u"release"_qs}},
        {"start never answers",
         [](auto& s) { s.hangingStarts = {2}; },
         kSilent,
         112,
         {u"start abandoned"_qs}},
        {"workbook never answers",
         [](auto& s) { s.hangingCalls = {u"workbook"_qs}; },
         kSilent,
         114,
         {u"start"_qs, u"workbook abandoned"_qs, u"release"_qs}},
        {"autofit never answers",
         [](auto& s) { s.hangingCalls = {u"autofit"_qs}; },
         kSilent,
         172,
         {u"start"_qs, u"workbook"_qs, u"cell 1,1=Results"_qs, u"cell 2,1=a"_qs, u"cell 3,1=b"_qs,
          u"autofit abandoned"_qs, u"visible"_qs, u"release"_qs}},
        {"visible never answers",
         [](auto& s) { s.hangingCalls = {u"visible"_qs}; },
         kSilent,
         174,
         {u"start"_qs, u"workbook"_qs, u"cell 1,1=Results"_qs, u"cell 2,1=a"_qs, u"cell 3,1=b"_qs,
          u"autofit"_qs, u"visible abandoned"_qs, u"release"_qs}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Export e{"a", "b"};
        c.arrange(e.spreadsheet);
        e.run();
        ASSERT_EQ(e.dialogs.messages().size(), 1u);
        EXPECT_EQ(e.dialogs.messages()[0].text, e.report(c.description, c.label));
        EXPECT_EQ(e.dialogs.messages()[0].caption, u"Application Error"_qs);
        EXPECT_EQ(e.spreadsheet.calls.mid(2), c.calls);
        EXPECT_EQ(e.pointer.history, (std::vector{PointerState::Busy, PointerState::Default}));
    }
}

TEST(SpreadsheetExport, FullSheetStopsOnceWithANoticeAndStillShows) {
    Export e{"a", "b", "c", "d", "e"};
    e.spreadsheet.rows = 3;
    e.run();
    EXPECT_EQ(e.spreadsheet.calls.mid(2),
              (QStringList{u"start"_qs, u"workbook"_qs, u"cell 1,1=Results"_qs, u"cell 2,1=a"_qs,
                           u"cell 3,1=b"_qs, u"autofit"_qs, u"visible"_qs, u"release"_qs}));
    EXPECT_EQ(
        e.dialogs.messageTexts(),
        QStringList{
            u"The sheet is full: only the first 2 of the 5 result rows were written to it."_qs});
    EXPECT_EQ(e.dialogs.messages()[0].caption, u"Culvexa"_qs);
}

TEST(SpreadsheetExport, RowsClearedWhileYieldingEndTheRowsWithOneReport) {
    Export e{"a", "b", "c"};
    e.yielder.onYield = [&](int call) {
        if (call == 4) {  // the second row's turn
            e.results.clear();
        }
    };
    e.run();
    EXPECT_EQ(e.dialogs.messageTexts(),
              QStringList{e.report(u"The row no longer exists in the results list"_qs, 154)});
    EXPECT_EQ(e.spreadsheet.calls.mid(2),
              (QStringList{u"start"_qs, u"workbook"_qs, u"cell 1,1=Results"_qs, u"cell 2,1=a"_qs,
                           u"cell 3,1="_qs, u"autofit"_qs, u"visible"_qs, u"release"_qs}));
}

// A stop ends the rows; the workbook is still fitted and shown with the rows sent so far.
TEST(SpreadsheetExport, StopShowsTheRowsSentSoFarAndSaysHowMany) {
    const struct {
        int stopAtYield;  // 1 is the header's column, then each row and its value
        int sent;
    } cases[] = {{1, 0}, {4, 1}, {6, 2}};
    for (const auto& c : cases) {
        Export e{"a", "b", "c"};
        e.yielder.onYield = [&](int call) {
            e.progress.stop = e.progress.stop || call == c.stopAtYield;
        };
        e.run();
        QStringList expected{u"start"_qs, u"release"_qs, u"start"_qs, u"workbook"_qs,
                             u"cell 1,1=Results"_qs};
        for (int row = 0; row < c.sent; ++row) {
            expected << u"cell %1,1=%2"_qs.arg(row + 2).arg(QChar(u'a' + row));
        }
        expected << u"autofit"_qs << u"visible"_qs << u"release"_qs;
        EXPECT_EQ(e.spreadsheet.calls, expected) << c.stopAtYield;
        EXPECT_EQ(e.dialogs.messageTexts(), QStringList{stoppedAfterRows(c.sent)});
        EXPECT_EQ(e.pointer.history, (std::vector{PointerState::Busy, PointerState::Default}));
        EXPECT_EQ(e.progress.tasks, QStringList{u"Sending results to the spreadsheet"_qs});
        EXPECT_EQ(e.progress.ended, 1);
    }
}

}  // namespace
}  // namespace culvex
