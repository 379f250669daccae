// Scripted input for offscreen runs: the format and the delivery order.
#include <gtest/gtest.h>

#include "app/input_script.h"

namespace {

using Kind = InputEvent::Kind;

TEST(InputScriptTest, ParsesEveryEventKindWithCommentsAndKeyNames) {
    InputScript s;
    std::string error;
    ASSERT_TRUE(s.parse("# a comment line\n"
                        "0 press space   # dismiss the title\n"
                        "\n"
                        "0.5 down w\n"
                        "1.25 up w\n"
                        "2 mouse 640 -12\n"
                        "3 click 2 10 20\n"
                        "4 press esc\n"
                        "5 aim\n",
                        error))
        << error;
    ASSERT_EQ(s.events.size(), 10u);
    EXPECT_EQ(s.events[0].kind, Kind::KeyDown);
    EXPECT_EQ(s.events[0].key, ' ');
    EXPECT_EQ(s.events[1].kind, Kind::KeyUp);
    EXPECT_EQ(s.events[2].key, 'w');
    EXPECT_DOUBLE_EQ(s.events[3].time, 1.25);
    EXPECT_EQ(s.events[4].kind, Kind::Mouse);
    EXPECT_EQ(s.events[4].y, -12);
    EXPECT_EQ(s.events[5].kind, Kind::ButtonDown);
    EXPECT_EQ(s.events[5].button, 2);
    EXPECT_EQ(s.events[6].kind, Kind::ButtonUp);
    EXPECT_EQ(s.events[7].key, 27);
    EXPECT_EQ(s.events[9].kind, Kind::Aim);
}

TEST(InputScriptTest, EventsAreOrderedByTimeKeepingFileOrderOnTies) {
    InputScript s;
    std::string error;
    ASSERT_TRUE(s.parse("2 down a\n1 down b\n1 down c\n0.5 up d\n", error)) << error;
    ASSERT_EQ(s.events.size(), 4u);
    EXPECT_EQ(s.events[0].key, 'd');
    EXPECT_EQ(s.events[1].key, 'b');
    EXPECT_EQ(s.events[2].key, 'c');
    EXPECT_EQ(s.events[3].key, 'a');
}

TEST(InputScriptTest, RejectsBadLinesNamingTheLine) {
    const char* bad[] = {"x down a", "-1 down a", "1 down", "1 down ab", "1 jump a", "1 mouse 3", "1 click 5 1 1",
                         "1 mouse 1 two", "nan down a", "1", "1 aim w"};
    for (const char* text : bad) {
        InputScript s;
        std::string error;
        EXPECT_FALSE(s.parse(std::string("0 press a\n") + text + "\n", error)) << text;
        EXPECT_EQ(error.rfind("line 2:", 0), 0u) << text << " -> " << error;
    }
}

TEST(InputScriptTest, LoadReportsAMissingFile) {
    InputScript s;
    std::string error;
    EXPECT_FALSE(s.load("/nonexistent/script.txt", error));
    EXPECT_NE(error.find("/nonexistent/script.txt"), std::string::npos);
}

}  // namespace
