#include "platform/QtSettingsStore.h"

#include "choices/SettingsFile.h"
#include "platform/Utf8Bytes.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <unistd.h>
#include <stdexcept>

namespace culvex {
namespace {

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
        {"read-only folder above the settings folder",
         [](const QString& f) {
             QFile::setPermissions(f, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
         },
         "Quillbrook/q.ini", "Permission denied"},
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

// Values the program may write, with every character the file cannot hold on one line.
const QStringList kAwkwardValues{
    u""_qs,
    u"a,b"_qs,
    u"C:\\temp\\new"_qs,
    u"5;comment"_qs,
    u"  both  "_qs,
    u"@at"_qs,
    u"@@"_qs,
    u"\"q\""_qs,
    u"=x=y"_qs,
    u"tab\there"_qs,
    u"line\r\nbreak\n"_qs,
    QString(QChar(0)) + u"0"_qs,
    u"\\u000a"_qs,
    u"caf\u00e9 \U0001F600"_qs,
    QString(QChar(0xD800)) + u"x"_qs,
    u"[Culvex]"_qs,
    u"; not a comment"_qs,
    u"\\"_qs,
    u"\\u00e9\n\\x"_qs,
};

void writeFileText(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(text), text.size());
}

// The command line's --use-settings reads the same file with SettingsFile.
TEST(QtSettingsStore, EveryValueWrittenReadsBackExactlyInTheWindowAndTheCommandLine) {
    const QStringList values = kAwkwardValues + QStringList{u" | "_qs, u"\""_qs};
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Quillbrook/Quillbrook.ini"_qs);
    {
        QtSettingsStore store(path);
        for (qsizetype i = 0; i < values.size(); ++i) {
            store.write(u"Key%1"_qs.arg(i), values[i]);
        }
    }
    const QtSettingsStore reopened(path);
    const SettingsFile commandLine(readSettingsBytes(QFile::encodeName(path).toStdString()),
                                   "Culvex");
    for (qsizetype i = 0; i < values.size(); ++i) {
        EXPECT_EQ(reopened.read(u"Key%1"_qs.arg(i)), values[i]) << i;
        EXPECT_EQ(commandLine.value("Key" + std::to_string(i)), toUtf8Bytes(values[i])) << i;
    }
}

TEST(QtSettingsStore, FilesTheToolkitWroteKeepReadingAndOtherSectionsStay) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"q.ini"_qs);
    {
        QSettings old(path, QSettings::IniFormat);
        for (qsizetype i = 0; i < kAwkwardValues.size(); ++i) {
            old.setValue(u"Culvex/Key%1"_qs.arg(i), kAwkwardValues[i]);
        }
        old.setValue(u"Other/Text5"_qs, u"a,b"_qs);
    }
    // The toolkit wrote UTF-8, where a lone surrogate half became U+FFFD.
    QStringList stored;
    for (const QString& value : kAwkwardValues) {
        stored << QString(value).replace(QChar(0xD800), QChar(0xFFFD));
    }
    QtSettingsStore store(path);
    for (qsizetype i = 0; i < kAwkwardValues.size(); ++i) {
        EXPECT_EQ(store.read(u"Key%1"_qs.arg(i)), stored[i]) << i;
    }
    store.write(u"Text1"_qs, u"2"_qs);
    const QtSettingsStore reopened(path);
    for (qsizetype i = 0; i < kAwkwardValues.size(); ++i) {
        EXPECT_EQ(reopened.read(u"Key%1"_qs.arg(i)), stored[i]) << i;
    }
    EXPECT_EQ(reopened.read(u"Text1"_qs), u"2"_qs);
    EXPECT_EQ(QSettings(path, QSettings::IniFormat).value(u"Other/Text5"_qs), u"a,b"_qs);
}

TEST(QtSettingsStore, HandEditedValuesReadAsWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"q.ini"_qs);
    QtSettingsStore(path).write(u"Check1"_qs, u"1"_qs);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray text = file.readAll();
    file.close();
    text.replace("[Culvex]", "[culvex]");
    text +=
        "Text5=a,b\nText4=C:\\temp\\new\r\nText3=5;comment\n option7 = False\n"
        "Text2=\"quoted\"\nCHECK1=0\n";
    writeFileText(path, text);
    const std::pair<QString, QString> expected[] = {
        {u"Text5"_qs, u"a,b"_qs},        {u"Text4"_qs, u"C:\\temp\\new"_qs},
        {u"Text3"_qs, u"5;comment"_qs},  {u"Option7"_qs, u" False"_qs},
        {u"Text2"_qs, u"\"quoted\""_qs}, {u"Check1"_qs, u"1"_qs},
    };
    QtSettingsStore store(path);
    for (const auto& [key, value] : expected) {
        EXPECT_EQ(store.read(key), value) << key.toStdString();
    }
    store.write(u"TEXT5"_qs, u";"_qs);
    EXPECT_EQ(QtSettingsStore(path).read(u"text5"_qs), u";"_qs);
    EXPECT_EQ(QtSettingsStore(path).read(u"Text4"_qs), u"C:\\temp\\new"_qs);
}

}  // namespace
}  // namespace culvex
