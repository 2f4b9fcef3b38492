#include "platform/TextFileWriter.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <optional>
#include <stdexcept>

namespace culvex {
namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class TextFileWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        target = dir.filePath(QStringLiteral("out.txt"));
        QFile old(target);
        old.open(QIODevice::WriteOnly);
        old.write("old contents");
    }

    QTemporaryDir dir;
    QString target;
};

TEST_F(TextFileWriterTest, ReplacesTheFileWithCrLfLinesOnClose) {
    TextFileWriter writer(target);
    writer.writeLine("a\tb");
    writer.writeLine("");
    writer.writeLine(std::string_view("\x80\0\xff", 3));
    EXPECT_EQ(contents(target), "old contents");
    writer.close();
    EXPECT_EQ(contents(target), QByteArray("a\tb\r\n\r\n\x80\0\xff\r\n", 12));
}

TEST_F(TextFileWriterTest, ASaveAbandonedBeforeCloseLeavesTheOldFileAndNoLeftovers) {
    {
        TextFileWriter writer(target);
        for (int i = 0; i < 100000; ++i) {
            writer.writeLine("a line long enough to fill the buffer several times");
        }
    }
    EXPECT_EQ(contents(target), "old contents");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("out.txt")});
}

TEST_F(TextFileWriterTest, TargetsThatCannotBeCreatedThrowThePlatformsWording) {
    const struct {
        QString path;
        const char* description;
    } cases[] = {
        {dir.filePath(QStringLiteral("missing/out.txt")), "No such file or directory"},
        {dir.path(), "Filename refers to a directory"},
    };
    for (const auto& c : cases) {
        try {
            TextFileWriter writer(c.path);
            ADD_FAILURE() << c.path.toStdString();
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), c.description);
        }
    }
}

}  // namespace
}  // namespace culvex
