#include "platform/FileSystem.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace culvex {
namespace {

TEST(AttributeWord, APathEndingInASeparatorKeepsItsNamesBits) {
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral(".hid")));
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("plain")));
    ASSERT_TRUE(QFile::link(root + QStringLiteral("plain"), root + QStringLiteral("lnk")));
    const struct {
        const char* path;
        int word;
    } cases[] = {
        {"plain", 16}, {"plain/", 16}, {".hid", 18},    {".hid/", 18},
        {"lnk", 1040}, {"lnk/", 1040}, {"lnk//", 1040},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fs::attributeWord(root + QString::fromLatin1(c.path)), c.word) << c.path;
    }
    QFile file(root + QStringLiteral("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_THROW(fs::attributeWord(root + QStringLiteral("file/")), fs::FileSystemError);
}

// A name's bytes survive the way through text and back, whatever their encoding.
TEST(PathFromNative, KeepsEveryNameAsItsBytes) {
    const std::string names[] = {
        "/tmp/plain.csv",    "/tmp/caf\xC3\xA9.csv", "/tmp/caf\xE9.csv",          "/tmp/\xFF\xFE",
        "/tmp/\xE2\x82.csv", "/tmp/\xED\xB2\x80",    "/tmp/\xF0\x9F\x98\x80\x80",
    };
    for (const std::string& name : names) {
        EXPECT_EQ(fs::nativePath(fs::pathFromNative(name)), name) << name;
    }
    EXPECT_EQ(fs::pathFromNative("/tmp/caf\xC3\xA9.csv"), u"/tmp/caf\u00E9.csv"_qs);
}

}  // namespace
}  // namespace culvex
