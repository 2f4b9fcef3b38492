#include "CommandFakes.h"
#include "FakePlatform.h"
#include "ResultsTestSupport.h"
#include "ScriptedDialogs.h"
#include "output/ClipboardCopy.h"
#include "output/DecodedText.h"
#include "output/ResultsCommands.h"
#include "output/ResultsModel.h"

#include <gtest/gtest.h>

namespace culvex {
namespace {

using testing::CommandFakes;
using testing::FakeClipboard;
using testing::ScriptedDialogs;
using testing::ScriptedYielder;
using testing::storeOf;

TEST(ClipboardText, EveryRowWithoutTrailingSpacesThenCrLf) {
    const struct {
        std::initializer_list<std::string> rows;
        QString expected;
        TextEncoding encoding = TextEncoding::Auto;
    } cases[] = {
        {{"single"}, u"single\r\n"_qs},
        {{"a1", "", "b2"}, u"a1\r\n\r\nb2\r\n"_qs},
        {{"", "x"}, u"\r\nx\r\n"_qs},
        {{"x", ""}, u"x\r\n\r\n"_qs},
        {{"in ner  sp", "short", "a much longer row"},
         u"in ner  sp\r\nshort\r\na much longer row\r\n"_qs},
        {{"trail  ", "   "}, u"trail\r\n\r\n"_qs},
        {{"tab\t", "c,o,m,m,a", " lead"}, u"tab\t\r\nc,o,m,m,a\r\n lead\r\n"_qs},
        {{"\x80\xe9\xff"}, u"€éÿ\r\n"_qs},
        {{"two\r\nlines\n"}, u"two\r\nlines\n\r\n"_qs},
        {{"\xEF\xBB\xBFid  ", "caf\xC3\xA9;\xE6\x97\xA5", "caf\xE9"},
         u"id\r\ncafé;日\r\ncafé\r\n"_qs},
        {{"caf\xC3\xA9", "\xEF\xBB\xBFid"}, u"cafÃ©\r\nï»¿id\r\n"_qs, TextEncoding::Windows1252},
        {{"caf\xC3\xA9", "caf\xE9"}, u"café\r\ncaf\uFFFD\r\n"_qs, TextEncoding::Utf8},
    };
    for (const auto& c : cases) {
        ScriptedYielder yielder;
        testing::ScriptedProgress progress;
        EXPECT_EQ(clipboardText(*storeOf(c.rows), yielder, progress, c.encoding), c.expected);
        EXPECT_GE(yielder.calls, static_cast<int>(c.rows.size()));
    }
}

class CopyResults : public ::testing::Test, protected CommandFakes {
protected:
    void copy() { copyResults(results, clipboard, context()); }

    ResultsModel results;
    FakeClipboard clipboard;
};

TEST_F(CopyResults, PlacesTheTextAndSaysSoInAPlainMessage) {
    results.append("a1");
    results.append("b2");
    copy();
    EXPECT_EQ(clipboard.text, u"a1\r\nb2\r\n"_qs);
    EXPECT_TRUE(clipboard.cleared);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    const MessageRequest shown = dialogs.messages()[0];
    EXPECT_EQ(shown.text,
              u"Results have been copied to the clipboard.\r\rClick a text area where you "
              u"normally type and press Ctrl+V to paste the clipboard."_qs);
    EXPECT_EQ(shown.caption, u"Culvexa"_qs);
    EXPECT_EQ(shown.icon, MessageIcon::None);
    EXPECT_EQ(shown.buttons, MessageButtons::Ok);
}

TEST_F(CopyResults, CopiesTheRowsAsTheListShowsThem) {
    results.append("caf\xC3\xA9");
    results.setEncoding(TextEncoding::Windows1252);
    copy();
    EXPECT_EQ(clipboard.text, u"cafÃ©\r\n"_qs);
}

TEST_F(CopyResults, OneRowIsCopiedWholeHoweverLong) {
    const std::string row = std::string(kShownCharacters, 'x') + "caf\xC3\xA9";
    EXPECT_TRUE(copyRow(row, clipboard, TextEncoding::Auto));
    EXPECT_EQ(clipboard.text, QString(kShownCharacters, u'x') + u"café"_qs);
}

TEST_F(CopyResults, EmptyListLeavesTheClipboardAloneAndStillSaysDone) {
    clipboard.text = u"before"_qs;
    copy();
    EXPECT_EQ(clipboard.text, u"before"_qs);
    EXPECT_EQ(clipboard.clearAttempts + clipboard.setAttempts, 0);
    EXPECT_EQ(dialogs.messageTexts(), QStringList{copiedMessage()});
}

TEST_F(CopyResults, RetriesABusyClipboardUpToAThousandTimes) {
    results.append("row");
    clipboard.refusals = 999;
    copy();
    EXPECT_EQ(clipboard.text, u"row\r\n"_qs);
    EXPECT_EQ(clipboard.setAttempts, 1000);
    EXPECT_EQ(dialogs.messageTexts(), QStringList{copiedMessage()});
}

TEST_F(CopyResults, ClipboardLockedThroughEveryAttemptIsToldAsNotCopied) {
    results.append("row");
    clipboard.text = u"before"_qs;
    clipboard.refusals = 5000;
    copy();
    EXPECT_EQ(clipboard.clearAttempts, 1000);
    EXPECT_EQ(clipboard.setAttempts, 1000);
    EXPECT_EQ(clipboard.text, u"before"_qs);
    EXPECT_EQ(dialogs.messageTexts(), QStringList{notCopiedMessage()});
    EXPECT_EQ(dialogs.messages()[0].caption, u"Culvexa"_qs);
}

TEST_F(CopyResults, ListClearedWhileBuildingIsReportedAtLine106AndNothingIsCopied) {
    for (int i = 0; i < 5; ++i) {
        results.append("row");
    }
    results.publish();
    clipboard.text = u"before"_qs;
    yielder.onYield = [&](int call) {
        if (call == 3) {
            clearResults(results, dialogs);
        }
    };
    copy();
    EXPECT_EQ(clipboard.text, u"before"_qs);
    const QStringList texts = dialogs.messageTexts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(
        texts[0].contains(u"\r\nin Culvexor2021/08/31.Form1.PushButton8_Click at line 106\r\r"_qs));
    EXPECT_EQ(texts[1], resultsChangedMessage());
}

// A stop in either pass (measuring, then building; each a run of one row, then the
// others) leaves the clipboard untouched.
TEST_F(CopyResults, StopLeavesTheClipboardAsItWasAndSaysNotCopied) {
    for (const char* row : {"a", "b", "c"}) {
        results.append(row);
    }
    results.publish();
    for (const int stopAt : {1, 2, 3, 4}) {
        dialogs.requests.clear();
        clipboard.text = u"before"_qs;
        progress.stop = false;
        yielder.calls = 0;
        yielder.onYield = [&](int call) { progress.stop = call == stopAt; };
        copy();
        EXPECT_EQ(clipboard.text, u"before"_qs) << stopAt;
        EXPECT_FALSE(clipboard.cleared) << stopAt;
        EXPECT_EQ(dialogs.messageTexts(), QStringList{u"The results were not copied."_qs});
    }
    EXPECT_EQ(progress.tasks, QStringList(4, u"Copying results"_qs));
    EXPECT_EQ(progress.ended, 4);
}

}  // namespace
}  // namespace culvex
