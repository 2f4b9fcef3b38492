#include "command/PlainMessage.h"
#include "command/ProtectedProcedure.h"

#include "ScriptedDialogs.h"

#include <gtest/gtest.h>
#include <QLocale>

#include <stdexcept>

namespace culvex {
namespace {

using testing::ScriptedDialogs;

const QString kEmailLine =
    u"Please email screenshot of this message to support@quillbrook.example"_qs;

TEST(ErrorReport, TextJoinsThePiecesWithCrLfAndCrCr) {
    struct Case {
        QString description;
        QString location;
        int label;
        QString expected;
    };
    const Case cases[] = {
        {u"File not found"_qs, formLocation(u"Form_Load"_qs), 130,
         u"File not found\r\nin Culvexor2021/08/31.Form1.Form_Load at line 130\r\r"_qs +
             kEmailLine},
        {QString(), formLocation(u"PushButton7_Click"_qs), 184,
         u"\r\nin Culvexor2021/08/31.Form1.PushButton7_Click at line 184\r\r"_qs + kEmailLine},
        {u"Permission denied"_qs,
         locationText(u"MorvathTitle"_qs, u"AddFolder"_qs, u"GetSubDirectories2016"_qs), 100,
         u"Permission denied\r\nin MorvathTitle2021/08/31.AddFolder.GetSubDirectories2016 at "
         u"line 100\r\r"_qs +
             kEmailLine},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(errorReportText(c.description, c.location, c.label), c.expected);
    }
}

TEST(PlainMessage, StoppedCountsAreGroupedAsTheProgressWindowShowsThem) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(stoppedAfterRows(37483698), u"Stopped after 37,483,698 rows."_qs);
    QLocale::setDefault(before);
}

TEST(ProtectedProcedure, FailingStepReportsItsLabelAndTheNextStepRuns) {
    ScriptedDialogs dialogs;
    ProtectedProcedure proc(dialogs, formLocation(u"PushButton9_Click"_qs));
    QStringList ran;
    EXPECT_FALSE(proc.step(100, [&] { throw std::runtime_error("first"); }));
    EXPECT_TRUE(proc.step(102, [&] { ran << u"102"_qs; }));
    EXPECT_FALSE(proc.step(104, [&] { throw std::runtime_error("second"); }));

    EXPECT_EQ(ran, QStringList{u"102"_qs});
    const auto messages = dialogs.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[0].text.startsWith(u"first\r\n"_qs));
    EXPECT_TRUE(messages[0].text.contains(u"at line 100\r\r"_qs));
    EXPECT_TRUE(messages[1].text.contains(u"at line 104\r\r"_qs));
    for (const MessageRequest& m : messages) {
        EXPECT_EQ(m.caption, u"Application Error"_qs);
        EXPECT_EQ(m.icon, MessageIcon::Warning);
        EXPECT_EQ(m.buttons, MessageButtons::Ok);
    }
}

TEST(ProtectedProcedure, FailingTestRunsTheThenPart) {
    ScriptedDialogs dialogs;
    ProtectedProcedure proc(dialogs, formLocation(u"Form_Load"_qs));
    EXPECT_TRUE(proc.test(108, []() -> bool { throw std::runtime_error("unreadable"); }));
    EXPECT_FALSE(proc.test(128, [] { return false; }));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].text.contains(u"at line 108"_qs));
}

TEST(ProtectedProcedure, OwnCaptionAndFailureWithoutDescription) {
    ScriptedDialogs dialogs;
    ProtectedProcedure proc(
        dialogs, locationText(u"MorvathTitle"_qs, u"AddFolder"_qs, u"GetSubDirectories2016"_qs),
        u"Culvexa"_qs);
    proc.step(112, [] { throw 42; });
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].caption, u"Culvexa"_qs);
    EXPECT_TRUE(dialogs.messages()[0].text.startsWith(u"Unexpected failure\r\n"_qs));
}

}  // namespace
}  // namespace culvex
