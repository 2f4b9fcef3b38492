#include "MemorySettingsStore.h"
#include "command/AppSettings.h"
#include "platform/QtSettingsStore.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>
#include <stdexcept>

namespace culvex {
namespace {

TEST(AppSettings, ReadingGivesTheDefaultAndNeverWritesIt) {
    testing::MemorySettingsStore store;
    const std::pair<QString, QString> defaults[] = {
        {u"Option1"_qs, u"1"_qs},   {u"Option2"_qs, u"0"_qs}, {u"Option9"_qs, u"1"_qs},
        {u"Option10"_qs, u"0"_qs},  {u"Text2"_qs, u"a"_qs},   {u"Text3"_qs, u"5"_qs},
        {u"Text5"_qs, u","_qs},     {u"Check1"_qs, u"0"_qs},  {u"Extension"_qs, u"csv"_qs},
        {u"LastFolder"_qs, u""_qs}, {u"Snapshot"_qs, u""_qs}, {u"Encoding"_qs, u"Auto"_qs},
    };
    for (const auto& [key, value] : defaults) {
        EXPECT_EQ(readSetting(store, key), value) << key.toStdString();
    }
    EXPECT_TRUE(store.writes.isEmpty());
    store.values.insert(u"Text2"_qs, QString());
    EXPECT_EQ(readSetting(store, u"Text2"_qs), QString());
    EXPECT_THROW(defaultSetting(u"Nothing"_qs), std::out_of_range);
}

TEST(AppSettings, BooleanConversion) {
    const std::pair<const char*, bool> accepted[] = {
        {"True", true}, {"TRUE", true}, {"false", false}, {"False", false}, {"1", true},
        {"0", false},   {"-1", true},   {"0.0", false},   {" 3 ", true},    {"1e2", true},
    };
    for (const auto& [text, value] : accepted) {
        EXPECT_EQ(toBoolean(QString::fromUtf8(text)), value) << text;
    }
    for (const char* text : {"", "yes", "Tru", "1x", "True False"}) {
        EXPECT_THROW(toBoolean(QString::fromUtf8(text)), std::invalid_argument) << text;
    }
    EXPECT_EQ(booleanText(true), u"True"_qs);
    EXPECT_EQ(booleanText(false), u"False"_qs);
}

TEST(AppSettings, ShortIntegerConversion) {
    const std::pair<const char*, int> accepted[] = {
        {"0", 0},   {"1", 1},           {" 2 ", 2},       {"2.5", 2},
        {"3.5", 4}, {"-32768", -32768}, {"32767", 32767},
    };
    for (const auto& [text, value] : accepted) {
        EXPECT_EQ(toShortInteger(QString::fromUtf8(text)), value) << text;
    }
    EXPECT_THROW(toShortInteger(u"32768"_qs), std::out_of_range);
    EXPECT_THROW(toShortInteger(u"one"_qs), std::invalid_argument);
    EXPECT_THROW(toShortInteger(QString()), std::invalid_argument);
}

TEST(QtSettingsStore, AFileThatCannotBeWrittenFailsTheWriteWithTheSystemsWording) {
    const struct {
        const char* name;
        void (*prepare)(const QString& folder);
        const char* path;
        const char* description;
    } cases[] = {
        {"settings file is a folder", [](const QString& f) { QDir(f).mkpath(u"q.ini"_qs); },
         "q.ini", "Is a directory"},
        {"settings folder is a plain file",
         [](const QString& f) { QFile(f + u"/Quillbrook"_qs).open(QIODevice::WriteOnly); },
         "Quillbrook/q.ini", "Not a directory"},
        {"read-only settings file",
         [](const QString& f) {
             QFile file(f + u"/q.ini"_qs);
             file.open(QIODevice::WriteOnly);
             file.setPermissions(QFileDevice::ReadOwner);
         },
         "q.ini", "Permission denied"},
    };
    for (const auto& c : cases) {
        if (std::string_view(c.description) == "Permission denied" && ::geteuid() == 0) {
            continue;  // permissions do not deny the super-user
        }
        QTemporaryDir dir;
        c.prepare(dir.path());
        QtSettingsStore store(dir.filePath(QString::fromLatin1(c.path)));
        try {
            store.write(u"Extension"_qs, u"txt"_qs);
            ADD_FAILURE() << c.name;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), c.description) << c.name;
        }
        {
            SettingsBatch batch(store);
            store.write(u"Text1"_qs, u"2"_qs);
        }
    }
}

TEST(QtSettingsStore, AFailedWriteDoesNotFailTheNextOne) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"q.ini"_qs);
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"q.ini"_qs));
    QtSettingsStore store(path);
    EXPECT_THROW(store.write(u"Text1"_qs, u"2"_qs), std::runtime_error);
    ASSERT_TRUE(QDir(dir.path()).rmdir(u"q.ini"_qs));
    store.write(u"Text1"_qs, u"3"_qs);
    EXPECT_EQ(QtSettingsStore(path).read(u"Text1"_qs), u"3"_qs);
}

}  // namespace
}  // namespace culvex
