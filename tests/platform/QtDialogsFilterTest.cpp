#include "platform/QtDialogs.h"

#include <gtest/gtest.h>
#include <QRegularExpression>

namespace culvex {
namespace {

TEST(QtDialogsFilter, OpenDialogPatternsMatchInAnyLetterCase) {
    const QStringList filters =
        caseInsensitiveNameFilters(QStringLiteral("CSV Files (*.csv*)|*.csv;"));
    ASSERT_EQ(filters, QStringList{QStringLiteral("CSV Files (*.csv*) (*.[cC][sS][vV])")});
    const QRegularExpression csv(
        QRegularExpression::wildcardToRegularExpression(QStringLiteral("*.[cC][sS][vV]")));
    for (const char* name : {"a.csv", "B.CSV", "c.Csv"}) {
        EXPECT_TRUE(csv.match(QString::fromLatin1(name)).hasMatch()) << name;
    }
    EXPECT_FALSE(csv.match(QStringLiteral("a.csv.txt")).hasMatch());
}

TEST(QtDialogsFilter, SeveralRowsAndPatterns) {
    EXPECT_EQ(caseInsensitiveNameFilters(QStringLiteral("Text (*.txt)|*.txt;*.1|All|*.*|")),
              QStringList({QStringLiteral("Text (*.txt) (*.[tT][xX][tT] *.1)"),
                           QStringLiteral("All (*)")}));
}

// "*.*" lists every file and leaves a typed name's extension alone.
TEST(QtDialogsFilter, AllFilesMatchNamesWithoutADot) {
    EXPECT_EQ(qtNameFilters(QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*")),
              QStringList({QStringLiteral("Text Files (*.txt) (*.txt)"),
                           QStringLiteral("All Files (*.*) (*)")}));
}

TEST(QtDialogsInput, ThePromptsCarriageReturnsBreakItsLines) {
    EXPECT_EQ(shownLineBreaks(QStringLiteral("load:\r\r(* for all)\r\nx\ny")),
              QStringLiteral("load:\n\n(* for all)\nx\ny"));
}

TEST(QtDialogsAnswer, EachSelectedFileKeepsItsOwnFolder) {
    const struct {
        QStringList files;
        OpenFilesAnswer answer;
    } cases[] = {
        {{}, {}},
        {{QStringLiteral("/a/top.csv")}, {QStringLiteral("/a/top.csv")}},
        {{QStringLiteral("/a/x.csv"), QStringLiteral("/a/y.csv")},
         {QStringLiteral("/a"), QStringLiteral("x.csv"), QStringLiteral("y.csv")}},
        {{QStringLiteral("/a/top.csv"), QStringLiteral("/a/B/b.csv")},
         {QStringLiteral("/a"), QStringLiteral("top.csv"), QStringLiteral("B/b.csv")}},
        {{QStringLiteral("/a/B/b.csv"), QStringLiteral("/a/C/c.csv")},
         {QStringLiteral("/a"), QStringLiteral("B/b.csv"), QStringLiteral("C/c.csv")}},
        {{QStringLiteral("/ab/x.csv"), QStringLiteral("/a/y.csv")},
         {QStringLiteral("/"), QStringLiteral("ab/x.csv"), QStringLiteral("a/y.csv")}},
        {{QStringLiteral("/x.csv"), QStringLiteral("/y.csv")},
         {QStringLiteral("/"), QStringLiteral("x.csv"), QStringLiteral("y.csv")}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(openFilesAnswer(c.files), c.answer) << c.files.join(u' ').toStdString();
    }
}

TEST(QtDialogsAnswer, ATypedPatternFiltersInsteadOfNamingAFile) {
    const struct {
        const char* typed;
        QStringList patterns;
    } cases[] = {
        {"*.txt", {QStringLiteral("*.txt")}},
        {" *.csv; a?.txt ;", {QStringLiteral("*.csv"), QStringLiteral("a?.txt")}},
        {"out.txt", {}},
        {"\"a.csv\" \"b*.csv\"", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(typedNamePatterns(QString::fromUtf8(c.typed)), c.patterns) << c.typed;
    }
}

}  // namespace
}  // namespace culvex
