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
                           QStringLiteral("All (*.*)")}));
}

}  // namespace
}  // namespace culvex
