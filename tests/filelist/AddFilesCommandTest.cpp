#include "filelist/AddFilesCommand.h"

#include "CommandFakes.h"
#include "command/ErrorReport.h"
#include "filelist/FileListModel.h"
#include "platform/CommonDialogState.h"

#include <gtest/gtest.h>
#include <QDir>

namespace culvex {
namespace {

class AddFiles : public ::testing::Test, protected testing::CommandFakes {
protected:
    void SetUp() override { dialogState.fileName = QStringLiteral("/old/results.txt"); }
    void press(const OpenFilesAnswer& answer) {
        dialogs.openAnswers.push_back(answer);
        addFiles(list, context());
    }

    FileListModel list;
};

TEST_F(AddFiles, OpensTheCsvDialogWithNoNameFilledIn) {
    press({});
    ASSERT_EQ(dialogs.requests.size(), 1u);
    const auto& request = std::get<OpenFilesRequest>(dialogs.requests[0]);
    EXPECT_EQ(request.title, QStringLiteral("Add File(s) - Hold Ctrl to select multiple files"));
    EXPECT_EQ(request.filter, QStringLiteral("CSV Files (*.csv*)|*.csv;"));
    EXPECT_EQ(request.fileName, QString());
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(dialogState.fileName, QString());
}

TEST_F(AddFiles, AppendsTheChosenPathsAfterTheExistingEntries) {
    const struct {
        OpenFilesAnswer answer;
        QStringList added;
    } cases[] = {
        // One file, or a typed name of a missing file: exactly as the dialog returned it.
        {{QStringLiteral("/data//one.csv")}, {QStringLiteral("/data//one.csv")}},
        {{QStringLiteral("/data/not there.csv")}, {QStringLiteral("/data/not there.csv")}},
        // Several files: folder, separator, name, in the dialog's order.
        {{QStringLiteral("/data"), QStringLiteral("b.csv"), QStringLiteral("a.CSV")},
         {QStringLiteral("/data/b.csv"), QStringLiteral("/data/a.CSV")}},
        // In the root folder no separator is doubled.
        {{QStringLiteral("/"), QStringLiteral("a.csv"), QStringLiteral("b.csv")},
         {QStringLiteral("/a.csv"), QStringLiteral("/b.csv")}},
    };
    for (const auto& c : cases) {
        list.clear();
        list.append(QStringLiteral("/first.csv"));
        press(c.answer);
        EXPECT_EQ(list.paths(), QStringList{QStringLiteral("/first.csv")} + c.added);
        EXPECT_EQ(dialogState.fileName, c.answer.first());
    }
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(AddFiles, FilesHandedToTheProgramAreMadeAbsoluteCleanedAndNotRepeated) {
    list.append(QStringLiteral("/first.csv"));
    addGivenFiles(list, {QStringLiteral("/first.csv"), QStringLiteral("/data//a.csv"),
                         QStringLiteral("rel.csv"), QStringLiteral("/data/a.csv")});
    EXPECT_EQ(list.paths(),
              (QStringList{QStringLiteral("/first.csv"), QStringLiteral("/data/a.csv"),
                           QDir::currentPath() + QStringLiteral("/rel.csv")}));
}

TEST_F(AddFiles, PickingAListedFileAddsItAgain) {
    press({QStringLiteral("/data/a.csv")});
    press({QStringLiteral("/data/a.csv")});
    EXPECT_EQ(list.paths(), QStringList(2, QStringLiteral("/data/a.csv")));
}

TEST_F(AddFiles, RefusesASelectionLargerThanTheNameBuffer) {
    // The folder and the names joined by one separator each: 1 + 300 * 100 characters.
    OpenFilesAnswer tooMany{QStringLiteral("/")};
    for (int i = 0; i < 300; ++i) {
        tooMany << QStringLiteral("%1.csv").arg(i, 95, 10, QChar(u'0'));
    }
    press(tooMany);
    EXPECT_EQ(list.count(), 0);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    const MessageRequest message = dialogs.messages()[0];
    EXPECT_EQ(message.text, QStringLiteral("You've selected too many files to add.\r\r"
                                           "Please try adding via the \"Add All\" button."));
    EXPECT_EQ(message.caption, QStringLiteral("Culvexa"));
    EXPECT_EQ(message.icon, MessageIcon::None);
    EXPECT_EQ(message.buttons, MessageButtons::Ok);

    tooMany.removeLast();
    press(tooMany);
    EXPECT_EQ(list.count(), 299);
    EXPECT_EQ(dialogs.messages().size(), 1u);

    // With its NUL and the closing pair, a selection of 29,998 characters fills the buffer.
    for (const auto& [length, refused] : {std::pair{29998, false}, {29999, true}, {30000, true}}) {
        list.clear();
        const std::size_t messagesBefore = dialogs.messages().size();
        press({QStringLiteral("/"), QString(length - 2, u'n')});
        EXPECT_EQ(list.count(), refused ? 0 : 1) << length;
        EXPECT_EQ(dialogs.messages().size(), messagesBefore + (refused ? 1 : 0)) << length;
    }
}

}  // namespace
}  // namespace culvex
