// The settings file (kept keys, damaged files, values out of range) and the sound keys: M, - and =, their
// notices, every sound silenced while muted, and both remembered by the next run.

#include <gtest/gtest.h>

#include <SDL_mixer.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>

#include "InputFixture.h"
#include "platform/Bundle.h"
#include "platform/Notice.h"
#include "platform/Settings.h"
#include "platform/sdl/MixerSound.h"
#include "platform/sdl/SoundControl.h"

using namespace platform;
using platform::sdl::MixerSound;
using platform::sdl::SoundControl;

namespace {

nlohmann::json readJson(const std::string& path) {
    std::ifstream in(path);
    return nlohmann::json::parse(in, nullptr, false);
}

}   // namespace

// The user's configuration folder pointed at the test's own folder.
class SettingsTest : public InputFixture {
protected:
    void SetUp() override {
        InputFixture::SetUp();
        config = driver.env().documents() + "/config";
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        Notices::shared().reset();
    }
    void write(const std::string& text) {
        std::filesystem::create_directories(config + "/plumbrick");
        std::ofstream(Settings::defaultPath()) << text;
    }
    int logLinesWith(const std::string& part) {
        const auto& log = driver.env().logLines();
        return int(std::count_if(log.begin(), log.end(), [&](auto& l) { return l.find(part) != l.npos; }));
    }
    std::string config;
};

TEST_F(SettingsTest, TheFileLivesInTheConfigurationFolderAndKeepsWhatItDoesNotKnow) {
    EXPECT_EQ(Settings::defaultPath(), config + "/plumbrick/settings.json");
    write(R"({"sound": {"volume": 3, "balance": "left"}, "theme": {"colours": [1, 2]}})");
    Settings settings;
    ASSERT_TRUE(settings.load());
    EXPECT_EQ(settings.getInt("sound", "volume", 8, 0, 8), 3);
    settings.set("sound", "muted", true);
    ASSERT_TRUE(settings.save());
    nlohmann::json saved = readJson(Settings::defaultPath());
    EXPECT_EQ(saved["sound"]["muted"], true);
    EXPECT_EQ(saved["sound"]["balance"], "left");
    EXPECT_EQ(saved["theme"]["colours"], nlohmann::json::array({1, 2}));
}

TEST_F(SettingsTest, ADamagedFileIsIgnoredWithOneLogLineAndWrittenAnewOnTheNextChange) {
    for (const char* damaged : {"{\"sound\": {\"muted\": tru", "[1, 2, 3]", "\x89PNG\r\n\x1a\n"}) {
        write(damaged);
        int before = logLinesWith("settings:");
        Settings settings;
        MixerSound sound;
        SoundControl control(sound, &settings);
        EXPECT_FALSE(settings.load()) << damaged;
        EXPECT_EQ(logLinesWith("settings:"), before + 1) << damaged;
        control.restore();
        EXPECT_FALSE(sound.isMuted()) << damaged;
        EXPECT_EQ(sound.volume(), MixerSound::kVolumeSteps) << damaged;
        EXPECT_TRUE(control.key("m"));
        EXPECT_EQ(readJson(Settings::defaultPath())["sound"]["muted"], true) << damaged;
    }
}

TEST_F(SettingsTest, MuteSilencesEverySoundAndIsRememberedByTheNextRun) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(Bundle::mainBundle().resourcePath()))
        if (entry.path().extension() == ".aif") files.push_back(entry.path().string());
    ASSERT_GE(files.size(), 5u);
    // Plays every sound once; how many took a channel.
    auto playAll = [&](MixerSound& sound) {
        int played = 0;
        for (const std::string& file : files) {
            sound.play(sound.create(file));
            played += sound.lastChannel() >= 0;
            Mix_HaltChannel(-1);
        }
        return played;
    };
    {
        Settings settings;
        settings.load();
        MixerSound sound;
        ASSERT_TRUE(sound.open());
        SoundControl control(sound, &settings);
        control.restore();
        desktop.setKeyHandler([&](const std::string& k) { return control.key(k); });
        EXPECT_EQ(playAll(sound), int(files.size())) << "every sound plays";
        desktop.handleEvent(keyDown("m"));
        EXPECT_TRUE(sound.isMuted());
        EXPECT_EQ(playAll(sound), 0) << "muted: no sound plays";
        desktop.setKeyHandler(nullptr);
    }
    Settings settings;
    settings.load();
    MixerSound sound;
    ASSERT_TRUE(sound.open());
    SoundControl control(sound, &settings);
    control.restore();
    EXPECT_TRUE(sound.isMuted()) << "remembered";
    EXPECT_EQ(playAll(sound), 0);
    control.key("m");
    EXPECT_EQ(playAll(sound), int(files.size()));
    EXPECT_EQ(Notices::shared().posted(), (std::vector<std::string>{"Sound off", "Sound on"}));
}

TEST_F(SettingsTest, VolumeKeysStepWithinRangeShowTheLevelAndAreRemembered) {
    Settings settings;
    MixerSound sound;
    SoundControl control(sound, &settings);
    control.restore();
    for (const char* k : {"-", "keypad -", "=", "+", "keypad +"}) EXPECT_TRUE(control.key(k)) << k;
    EXPECT_EQ(Notices::shared().posted(),
              (std::vector<std::string>{"Volume 7/8", "Volume 6/8", "Volume 7/8", "Volume 8/8", "Volume 8/8"}));
    for (int i = 0; i < 10; ++i) control.key("-");
    EXPECT_EQ(sound.volume(), 0) << "never below nothing";
    control.key("=");
    Settings next;
    next.load();
    EXPECT_EQ(next.getInt("sound", "volume", 8, 0, 8), 1);
}

TEST_F(SettingsTest, StartingMutedSilencesThisRunWithoutChangingWhatIsRemembered) {
    Settings settings;
    MixerSound sound;
    SoundControl control(sound, &settings);
    control.restore(true);
    EXPECT_TRUE(sound.isMuted());
    control.key("-");
    EXPECT_EQ(Notices::shared().posted().back(), "Volume 7/8 (sound off)");
    EXPECT_EQ(readJson(Settings::defaultPath())["sound"]["muted"], false);
}
