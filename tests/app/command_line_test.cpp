// The game's options: GLUT's own go aside for glutInit with their values,
// ours are read with their values checked, and anything else is refused.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
ParseResult parse(std::vector<std::string> args, GameOptions& options, std::string& error) {
    args.insert(args.begin(), "searchlight");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return parseGameOptions(static_cast<int>(args.size()), argv.data(), options, error);
}
}  // namespace

TEST(CommandLine, GlutOptionsPassOnAndOursAreChecked) {
    GameOptions o;
    std::string error;
    ASSERT_EQ(
        parse({"-display", ":5", "--seed=4294967295", "-sync", "--size", "800x600", "--data", "d"}, o, error),
        ParseResult::ok)
        << error;
    EXPECT_EQ(o.glutArguments, (std::vector<std::string>{"searchlight", "-display", ":5", "-sync"}));
    EXPECT_TRUE(o.seedGiven);
    EXPECT_EQ(o.seed, 4294967295u);
    EXPECT_TRUE(o.windowed);
    EXPECT_EQ(o.windowWidth, 800);
    EXPECT_EQ(o.windowHeight, 600);
    EXPECT_EQ(o.dataDirectory, "d");

    for (const auto& bad : std::vector<std::vector<std::string>>{{"--seed", "4294967296"},
                                                                 {"--seed", "-1"},
                                                                 {"--size", "800x"},
                                                                 {"--size", "0x600"},
                                                                 {"--size", "99999x600"},
                                                                 {"--windowed=yes"},
                                                                 {"-display"},
                                                                 {"-q"},
                                                                 {"--seed"},
                                                                 {"stray"}}) {
        GameOptions refused;
        EXPECT_EQ(parse(bad, refused, error), ParseResult::bad) << bad[0];
        EXPECT_NE(error.find('\''), std::string::npos) << "names what it refused: " << error;
    }
}
