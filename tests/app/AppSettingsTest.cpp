#include "MemorySettingsStore.h"
#include "app/AppSettings.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace culvex {
namespace {

TEST(AppSettings, ReadingGivesTheDefaultAndNeverWritesIt) {
    testing::MemorySettingsStore store;
    const std::pair<QString, QString> defaults[] = {
        {u"Option1"_qs, u"1"_qs},   {u"Option2"_qs, u"0"_qs}, {u"Option9"_qs, u"1"_qs},
        {u"Option10"_qs, u"0"_qs},  {u"Text2"_qs, u"a"_qs},   {u"Text3"_qs, u"5"_qs},
        {u"Text5"_qs, u","_qs},     {u"Check1"_qs, u"0"_qs},  {u"Extension"_qs, u"csv"_qs},
        {u"LastFolder"_qs, u""_qs}, {u"Snapshot"_qs, u""_qs},
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

}  // namespace
}  // namespace culvex
