#include "FakePlatform.h"
#include "ScriptedDialogs.h"
#include "output/DecodedText.h"
#include "output/ResultsCommands.h"
#include "output/ResultsModel.h"

#include <gtest/gtest.h>
#include <QAbstractItemModelTester>
#include <QItemSelectionModel>

namespace culvex {
namespace {

using testing::RecordingPointer;
using testing::ScriptedDialogs;

QStringList shownRows(const ResultsModel& model) {
    QStringList rows;
    for (int i = 0; i < model.rowCount(); ++i) {
        rows << model.data(model.index(i), Qt::DisplayRole).toString();
    }
    return rows;
}

void fill(ResultsModel& model, std::initializer_list<const char*> rows) {
    for (const char* row : rows) {
        model.append(row);
    }
    model.publish();
}

TEST(ResultsModel, PassesTheModelTesterThroughAppendPublishRemoveAndClear) {
    ResultsModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.publish();
    fill(model, {"a", "", "c"});
    model.append("d");
    EXPECT_EQ(model.rowCount(), 3);
    model.publish();
    model.removeAt(0);
    model.removeAt(2);
    model.append("e");
    model.removeAt(1);
    EXPECT_EQ(shownRows(model), (QStringList{QString(), u"e"_qs}));
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
    fill(model, {"again"});
    EXPECT_EQ(shownRows(model), QStringList{u"again"_qs});
}

TEST(ResultsModel, AFullListKeepsItsRowsAndCountsTheRowsLeftOut) {
    ResultsModel model(nullptr, 3);
    model.append("a");
    const std::string source = "b,c,d,e";
    const std::string_view batch[] = {std::string_view(source).substr(2, 1),
                                      std::string_view(source).substr(4, 1),
                                      std::string_view(source).substr(6, 1)};
    model.appendBatch(batch, source);
    model.append("f");
    model.publish();
    EXPECT_EQ(shownRows(model), (QStringList{u"a"_qs, u"c"_qs, u"d"_qs}));
    EXPECT_EQ(model.takeRowsLeftOut(), 2u);
    EXPECT_EQ(model.takeRowsLeftOut(), 0u);
    model.removeAt(0);
    model.append("g");
    model.append("h");
    model.publish();
    EXPECT_EQ(shownRows(model), (QStringList{u"c"_qs, u"d"_qs, u"g"_qs}));
    EXPECT_EQ(model.takeRowsLeftOut(), 1u);
    model.removeAt(0);
    const RowSpan spans[] = {{0, 1}, {2, 3}};
    model.appendSpans(spans, source);
    model.publish();
    EXPECT_EQ(shownRows(model), (QStringList{u"d"_qs, u"g"_qs, u"b"_qs}));
    EXPECT_EQ(model.takeRowsLeftOut(), 1u);
}

TEST(ResultsModel, ShowsCodePageBytesAsTheirCharactersUnderTheResultsHeader) {
    const QString longest(static_cast<qsizetype>(kShownCharacters), u'x');
    const struct {
        std::string bytes;
        QString shown;
    } rows[] = {
        {"caf\xe9", u"café"_qs},
        {"\x80 \x9f", u"€ Ÿ"_qs},
        {"\xff", u"ÿ"_qs},
        {std::string(kShownCharacters, 'x'), longest},
        {std::string(kShownCharacters, 'x') + "\xe9 and more", longest + u"…"_qs},
        {"caf\xC3\xA9", u"café"_qs},
        {"\xEF\xBB\xBFid", u"id"_qs},
        {"two\r\nlines\nand\r", u"two\u21B5lines\u21B5and\r"_qs},
        // Not UTF-8 past the cut: the whole row decides, as for its copy and export.
        {"caf\xC3\xA9" + std::string(kShownCharacters, 'x') + "\xe9",
         u"cafÃ©"_qs + QString(kShownCharacters - 5, u'x') + u"…"_qs},
        // Cut before the character the limit falls in, so the row still reads as UTF-8.
        {"\xC3\xA9" + std::string(kShownCharacters - 3, 'x') + "\xE6\x97\xA5 more",
         u"é"_qs + QString(kShownCharacters - 3, u'x') + u"…"_qs},
    };
    ResultsModel model;
    for (const auto& row : rows) {
        model.append(row.bytes);
    }
    model.publish();
    ASSERT_EQ(model.rowCount(), static_cast<int>(std::size(rows)));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const QModelIndex index = model.index(static_cast<int>(i));
        EXPECT_EQ(model.data(index, Qt::DisplayRole).toString(), rows[i].shown) << i;
        EXPECT_EQ(model.store().row(i), rows[i].bytes) << i;
    }
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), u"Results"_qs);
    // Pinned to Windows-1252, every byte up to the limit shows as one character.
    model.setEncoding(TextEncoding::Windows1252);
    EXPECT_EQ(model.data(model.index(model.rowCount() - 1), Qt::DisplayRole).toString(),
              u"Ã©"_qs + QString(kShownCharacters - 3, u'x') + u"æ…"_qs);
}

TEST(ResultsModel, RemovingAMissingRowChangesNothing) {
    ResultsModel model;
    fill(model, {"a", "b"});
    model.removeAt(2);
    model.removeAt(-1);
    EXPECT_EQ(shownRows(model), (QStringList{u"a"_qs, u"b"_qs}));
}

TEST(ResultsModel, ClearDropsUnpublishedRowsAndGivesTheMemoryBack) {
    ResultsModel model;
    for (int i = 0; i < 10000; ++i) {
        model.append("row");
    }
    model.publish();
    model.append("not yet shown");
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_TRUE(model.store().empty());
    EXPECT_EQ(model.store().memoryBytes(), 0u);
}

class ResultsDoubleClick : public ::testing::Test {
protected:
    void SetUp() override { fill(model, {"a", "b", "c"}); }
    void select(int row) {
        selection.select(model.index(row),
                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    ResultsModel model;
    QItemSelectionModel selection{&model};
    RecordingPointer pointer;
};

TEST_F(ResultsDoubleClick, RemovesOnlyTheSelectedRow) {
    select(1);
    removeDoubleClickedResult(model, selection, pointer);
    EXPECT_EQ(shownRows(model), (QStringList{u"a"_qs, u"c"_qs}));
}

TEST_F(ResultsDoubleClick, DoesNothingWithoutSelectionOrWhileBusy) {
    removeDoubleClickedResult(model, selection, pointer);
    select(0);
    pointer.setPointer(PointerState::Busy);
    removeDoubleClickedResult(model, selection, pointer);
    EXPECT_EQ(shownRows(model), (QStringList{u"a"_qs, u"b"_qs, u"c"_qs}));
}

TEST_F(ResultsDoubleClick, DoesNothingOnAnEmptyList) {
    select(0);
    model.clear();
    removeDoubleClickedResult(model, selection, pointer);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(ClearResults, EmptiesTheListWithoutAQuestionEvenWhileBusy) {
    ResultsModel model;
    fill(model, {"a", "b"});
    RecordingPointer pointer;
    pointer.setPointer(PointerState::Busy);
    ScriptedDialogs dialogs;
    clearResults(model, dialogs);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_TRUE(dialogs.requests.empty());
    EXPECT_EQ(pointer.pointer(), PointerState::Busy);
    clearResults(model, dialogs);
    EXPECT_TRUE(dialogs.requests.empty());
}

}  // namespace
}  // namespace culvex
