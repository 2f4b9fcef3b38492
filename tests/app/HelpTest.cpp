#include "app/Help.h"

#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace culvex {
namespace {

TEST(Help, ShowsTheSupportPageWithTheShortTitle) {
    testing::ScriptedDialogs dialogs;
    showHelp(dialogs);
    const auto messages = dialogs.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(
        messages[0].text,
        u"Questions? Please contact Team Quillbrook at https://quillbrook.example/support"_qs);
    EXPECT_EQ(messages[0].caption, u"Culvexa"_qs);
    EXPECT_EQ(messages[0].icon, MessageIcon::None);
    EXPECT_EQ(messages[0].buttons, MessageButtons::Ok);
}

}  // namespace
}  // namespace culvex
