// The desktop program's command line: options, values, and what is refused.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/sdl/CommandLine.h"

using platform::sdl::CommandLine;
using platform::sdl::parseCommandLine;

namespace {

CommandLine parse(std::initializer_list<const char*> args) {
    std::vector<const char*> argv{"plumbrick"};
    argv.insert(argv.end(), args);
    return parseCommandLine(static_cast<int>(argv.size()), argv.data());
}

TEST(CommandLine, ScaleTakesOneToEightAsTheNextArgumentOrAnInlineValueAndRefusesTheRest) {
    EXPECT_EQ(parse({"--scale", "1"}).scale, 1);
    EXPECT_EQ(parse({"--scale=8"}).scale, 8);
    for (const char* bad : {"0", "9", "-2", "two", "2x", "", "99999999999"})
        EXPECT_EQ(parse({"--scale", bad}).action, CommandLine::Action::Error) << "--scale " << bad;
    EXPECT_EQ(parse({"--scale", "zero"}).error, "bad value for --scale: zero");
    EXPECT_EQ(parse({"--scale"}).error, "--scale needs a value");
}

TEST(CommandLine, UnknownOptionsAndFlagsGivenAValueAreErrorsThatWinOverHelp) {
    EXPECT_EQ(parse({"--bogus"}).error, "unknown option --bogus");
    EXPECT_EQ(parse({"--fullscreen=yes"}).error, "--fullscreen takes no value");
    EXPECT_EQ(parse({"--help", "--bogus"}).action, CommandLine::Action::Error);
}

TEST(CommandLine, TheLastOfFullscreenAndWindowedWins) {
    EXPECT_EQ(parse({"--windowed", "--fullscreen"}).fullScreen, true);
    EXPECT_EQ(parse({"--fullscreen", "--windowed"}).fullScreen, false);
}

}   // namespace
