// The desktop program's command line: options, values, and what is refused.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/sdl/CommandLine.h"

using platform::sdl::CommandLine;
using platform::sdl::parseCommandLine;
using platform::sdl::usageText;
using platform::sdl::versionText;

namespace {

CommandLine parse(std::initializer_list<const char*> args) {
    std::vector<const char*> argv{"plumbrick"};
    argv.insert(argv.end(), args);
    return parseCommandLine(static_cast<int>(argv.size()), argv.data());
}

TEST(CommandLine, NoArgumentsRunWithNothingChosen) {
    const CommandLine c = parse({});
    EXPECT_EQ(c.action, CommandLine::Action::Run);
    EXPECT_FALSE(c.scale.has_value());
    EXPECT_FALSE(c.fullScreen.has_value());
}

TEST(CommandLine, ScaleTakesTheNextArgumentOrAnInlineValue) {
    EXPECT_EQ(parse({"--scale", "3"}).scale, 3);
    EXPECT_EQ(parse({"--scale=4"}).scale, 4);
}

TEST(CommandLine, ScaleAcceptsOneToEight) {
    EXPECT_EQ(parse({"--scale", "1"}).scale, 1);
    EXPECT_EQ(parse({"--scale", "8"}).scale, 8);
}

TEST(CommandLine, BadScaleValuesAreErrors) {
    for (const char* bad : {"0", "9", "-2", "two", "2x", "", "99999999999"})
        EXPECT_EQ(parse({"--scale", bad}).action, CommandLine::Action::Error) << "--scale " << bad;
}

TEST(CommandLine, TheErrorNamesTheOptionAndValue) {
    EXPECT_EQ(parse({"--scale", "zero"}).error, "bad value for --scale: zero");
}

TEST(CommandLine, ScaleWithoutAValueIsAnError) { EXPECT_EQ(parse({"--scale"}).error, "--scale needs a value"); }

TEST(CommandLine, AnUnknownOptionIsAnError) { EXPECT_EQ(parse({"--bogus"}).error, "unknown option --bogus"); }

TEST(CommandLine, AFlagGivenAValueIsAnError) {
    EXPECT_EQ(parse({"--fullscreen=yes"}).error, "--fullscreen takes no value");
}

TEST(CommandLine, FullscreenAndWindowedChooseTheStartingMode) {
    EXPECT_EQ(parse({"--fullscreen"}).fullScreen, true);
    EXPECT_EQ(parse({"--windowed"}).fullScreen, false);
}

TEST(CommandLine, TheLastOfFullscreenAndWindowedWins) {
    EXPECT_EQ(parse({"--windowed", "--fullscreen"}).fullScreen, true);
    EXPECT_EQ(parse({"--fullscreen", "--windowed"}).fullScreen, false);
}

TEST(CommandLine, HelpAndVersionAreActions) {
    EXPECT_EQ(parse({"--help"}).action, CommandLine::Action::Help);
    EXPECT_EQ(parse({"-h"}).action, CommandLine::Action::Help);
    EXPECT_EQ(parse({"--version"}).action, CommandLine::Action::Version);
}

TEST(CommandLine, AnErrorAnywhereWinsOverHelp) {
    EXPECT_EQ(parse({"--help", "--bogus"}).action, CommandLine::Action::Error);
}

TEST(CommandLine, TheUsageListsEveryPlayerOptionAndNotTheMeasuringOne) {
    const std::string usage = usageText();
    for (const char* option : {"--scale N", "--fullscreen", "--windowed", "--mute", "--help", "--version"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    EXPECT_EQ(usage.find("--exit-after-first-frame"), std::string::npos);
}

TEST(CommandLine, TheVersionIsTheProjectsVersion) { EXPECT_EQ(versionText(), "plumbrick " PLUMBRICK_VERSION "\n"); }

}   // namespace
