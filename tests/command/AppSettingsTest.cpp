#include "MemorySettingsStore.h"
#include "command/AppSettings.h"

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
        {u"LastFolder"_qs, u""_qs}, {u"Snapshot"_qs, u""_qs}, {u"Encoding"_qs, u"Auto"_qs},
    };
    for (const auto& [key, value] : defaults) {
        EXPECT_EQ(readSetting(store, key), value) << key.toStdString();
    }
    EXPECT_TRUE(store.writes.isEmpty());
    store.values.insert(u"Text2"_qs, QString());
    EXPECT_EQ(readSetting(store, u"Text2"_qs), QString());
    EXPECT_THROW(readSetting(store, u"Nothing"_qs), std::out_of_range);
}

}  // namespace
}  // namespace culvex
