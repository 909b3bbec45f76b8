// Sounds on SDL_mixer with the dummy audio driver, and silence without an audio device.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/Bundle.h"
#include "platform/Sound.h"
#include "platform/headless/Headless.h"
#include "platform/sdl/MixerSound.h"
#include "tests/sdl/TestSupport.h"

using namespace platform;
using platform::sdl::MixerSound;

namespace {
// An AIFF sound that the build makes for the games.
std::string someSound() { return Bundle::mainBundle().pathForResource("endgame", "aif"); }
}  // namespace

TEST(MixerSoundTest, PlaysOverlapOnFreeChannelsAndAFullMixerSkips) {
    sdltest::useDummyDrivers();
    headless::Environment env;
    ASSERT_FALSE(someSound().empty()) << "the build made endgame.aif";
    MixerSound sound;
    ASSERT_TRUE(sound.open()) << SDL_GetError();
    SystemSoundID id = sound.create(someSound());
    ASSERT_TRUE(sound.isLoaded(id));

    sound.play(id);
    int first = sound.lastChannel();
    EXPECT_GE(first, 0);
    sound.play(id);
    EXPECT_GE(sound.lastChannel(), 0);
    EXPECT_NE(sound.lastChannel(), first) << "a second play overlaps on another channel";
    EXPECT_EQ(sound.playingChannels(), 2);

    for (int i = 2; i < MixerSound::kChannels; ++i) sound.play(id);
    EXPECT_EQ(sound.playingChannels(), MixerSound::kChannels);
    sound.play(id);
    EXPECT_EQ(sound.lastChannel(), -1) << "every channel busy: skipped, nothing cut";
    EXPECT_EQ(sound.playingChannels(), MixerSound::kChannels);
}

TEST(MixerSoundTest, MissingOrBrokenFilesGiveIdsThatPlayNothing) {
    sdltest::useDummyDrivers();
    headless::Environment env;
    MixerSound sound;
    ASSERT_TRUE(sound.open());
    std::string layout = Bundle::mainBundle().pathForLayout("MainWindow");   // not a sound
    SystemSoundID missing = sound.create("/nonexistent/sound.aif");
    SystemSoundID broken = sound.create(layout);
    EXPECT_NE(missing, 0u);
    EXPECT_NE(broken, missing);
    sound.play(missing);
    EXPECT_EQ(sound.lastChannel(), -1);
    sound.play(broken);
    EXPECT_EQ(sound.lastChannel(), -1);
    sound.play(999);
    EXPECT_EQ(sound.lastChannel(), -1);
    EXPECT_EQ(sound.playingChannels(), 0);
}

TEST(MixerSoundTest, SoundsMadeBeforeTheDeviceOpensLoadWhenItDoes) {
    sdltest::useDummyDrivers();
    headless::Environment env;
    MixerSound sound;
    SystemSoundID id = sound.create(someSound());
    EXPECT_FALSE(sound.isLoaded(id));
    ASSERT_TRUE(sound.open());
    EXPECT_TRUE(sound.isLoaded(id));
}

TEST(MixerSoundTest, WithoutAnAudioDeviceTheApplicationRunsSilentWithOneLogLine) {
    headless::Environment env;
    const char* before = std::getenv("SDL_AUDIODRIVER");
    std::string saved = before ? before : "";
    setenv("SDL_AUDIODRIVER", "no-such-device", 1);
    MixerSound sound;
    EXPECT_FALSE(sound.open());
    EXPECT_TRUE(sound.isSilent());
    SystemSoundID id = sound.create(someSound());
    sound.play(id);
    EXPECT_EQ(sound.lastChannel(), -1);
    int lines = 0;
    for (const auto& line : env.logLines()) lines += line.find("running silent") != std::string::npos;
    EXPECT_EQ(lines, 1);

    // No driver chosen, no sound card, no sound server: silent at once, again with one line.
    if (access("/dev/snd", F_OK) != 0 && !std::getenv("PULSE_SERVER")) {
        unsetenv("SDL_AUDIODRIVER");
        const char* run = std::getenv("XDG_RUNTIME_DIR");
        std::string savedRun = run ? run : "";
        setenv("XDG_RUNTIME_DIR", env.documents().c_str(), 1);
        env.clearLog();
        MixerSound none;
        EXPECT_FALSE(none.open());
        EXPECT_EQ(env.logLines().size(), 1u);
        if (run) setenv("XDG_RUNTIME_DIR", savedRun.c_str(), 1);
        else unsetenv("XDG_RUNTIME_DIR");
    }
    if (before) setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    else unsetenv("SDL_AUDIODRIVER");
}

TEST(MixerSoundTest, ThePlatformCallsReachTheMixer) {
    sdltest::useDummyDrivers();
    headless::Environment env;
    MixerSound sound;
    ASSERT_TRUE(sound.open());
    setSoundBackend(&sound);
    SystemSoundID id = AudioServicesCreateSystemSoundID(someSound());
    AudioServicesPlaySystemSound(id);
    EXPECT_GE(sound.lastChannel(), 0);
    setSoundBackend(&env);
}
