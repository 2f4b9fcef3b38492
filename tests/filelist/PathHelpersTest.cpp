#include "filelist/PathHelpers.h"

#include "TempTree.h"
#include "filelist/FileListModel.h"
#include "filelist/Wildcard.h"

#include <gtest/gtest.h>
#include <QAbstractItemModelTester>

namespace culvex {
namespace {

struct CleanCase {
    PathRule rule;
    const char* input;
    const char* expected;
};

TEST(CleanPathSlashes, CollapsesDoubledSeparatorsInOnePass) {
    const CleanCase cases[] = {
        {PathRule::Windows, R"(C:\\data\\a.csv)", R"(C:\data\a.csv)"},
        {PathRule::Windows, R"(C:\data\\\a.csv)", R"(C:\data\\a.csv)"},
        {PathRule::Windows, R"(\\srv\share\\a.csv)", R"(\\srv\share\a.csv)"},
        {PathRule::Windows, R"(\\\srv\a.csv)", R"(\\srv\a.csv)"},
        {PathRule::Windows, R"(\x\a.csv)", R"(\\x\a.csv)"},
        {PathRule::Windows, R"(a\\\\b)", R"(a\\b)"},
        {PathRule::Windows, R"(a\\\\\b)", R"(a\\\b)"},
        {PathRule::Windows, R"(\\\\)", R"(\\)"},
        {PathRule::Windows, R"(\)", R"(\\)"},
        {PathRule::Windows, "a/b//c", "a/b//c"},
        {PathRule::Windows, "", ""},
        {PathRule::Posix, "//data//a.csv", "/data/a.csv"},
        {PathRule::Posix, "////data/a.csv", "/data/a.csv"},
        {PathRule::Posix, "/data///a.csv", "/data//a.csv"},
        {PathRule::Posix, "/data////a.csv", "/data//a.csv"},
        {PathRule::Posix, "data//a.csv", "data/a.csv"},
        {PathRule::Posix, "///", "/"},
        {PathRule::Posix, R"(C:\\a)", R"(C:\\a)"},
    };
    for (const CleanCase& c : cases) {
        EXPECT_EQ(CleanPathSlashes(QString::fromUtf8(c.input), c.rule),
                  QString::fromUtf8(c.expected))
            << c.input;
    }
}

TEST(CleanPathSlashes, UsesTheLocalRuleByDefault) {
    EXPECT_EQ(CleanPathSlashes(QStringLiteral("//tmp//x")), QStringLiteral("/tmp/x"));
}

TEST(ListContainsText, MatchesExactTextOnly) {
    FileListModel list;
    list.appendAll({QStringLiteral("/data/A.csv"), QStringLiteral("/data/b.csv")});
    EXPECT_TRUE(ListContainsText(list, QStringLiteral("/data/A.csv")));
    EXPECT_TRUE(ListContainsText(list, QStringLiteral("/data/b.csv")));
    EXPECT_FALSE(ListContainsText(list, QStringLiteral("/data/a.csv")));
    EXPECT_FALSE(ListContainsText(list, QStringLiteral("/data/b.csv ")));
    EXPECT_FALSE(ListContainsText(FileListModel{}, QString()));
}

TEST(FileExists, TrueWhenTheModificationTimeCanBeRead) {
    testing::TempTree tree;
    const QString file = tree.file(QStringLiteral("a.csv"));
    const QString folder = tree.folder(QStringLiteral("sub"));
    tree.link(tree.path(QStringLiteral("gone")), QStringLiteral("dangling"));
    const struct {
        QString path;
        bool expected;
    } cases[] = {
        {QString(), false},
        {tree.path(QStringLiteral("missing.csv")), false},
        {tree.path(QStringLiteral("a.csv/x")), false},
        {tree.path(QStringLiteral("dangling")), false},
        {folder, true},
        {file, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileExists(c.path), c.expected) << c.path.toStdString();
    }
}

TEST(Wildcard, MatchesListingPatternsInAnyLetterCase) {
    const struct {
        const char16_t* name;
        const char16_t* pattern;
        bool expected;
    } cases[] = {
        {u"a.csv", u"*.csv", true},      {u"A.CSV", u"*.csv", true},
        {u"a.csv.bak", u"*.csv", false}, {u"a.csvx", u"*.csv", false},
        {u"noext", u"*.*", true},        {u"noext", u"*.txt", false},
        {u".csv", u"*.csv", true},       {u"a.b.csv", u"*.csv", true},
        {u"ab.txt", u"a?.txt", true},    {u"a.txt", u"a?.txt", false},
        {u"Ünï.CSV", u"*.csv", true},    {u"x.tar.gz", u"*.tar.gz", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(matchesWildcard(c.name, c.pattern), c.expected)
            << QString::fromUtf16(c.name).toStdString() << " "
            << QString::fromUtf16(c.pattern).toStdString();
    }
}

TEST(FileListModel, AddsShowsAndClearsAHundredThousandEntriesInOneBatch) {
    FileListModel list;
    QAbstractItemModelTester tester(&list);
    QStringList paths;
    for (int i = 0; i < 100000; ++i) {
        paths << QStringLiteral("/data/file%1.csv").arg(i);
    }
    list.appendAll(paths);
    EXPECT_EQ(list.count(), 100000);
    EXPECT_EQ(list.text(100000), QStringLiteral("/data/file99999.csv"));
    list.removeAt(0);
    EXPECT_EQ(list.text(1), QStringLiteral("/data/file1.csv"));
    list.clear();
    EXPECT_EQ(list.count(), 0);
}

}  // namespace
}  // namespace culvex
