// The settings file (kept keys, damaged files) and the sound keys M, - and =: what they remember and the volume's
// notices; the bootstrap that composes them with the window.

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "input_fixture.h"
#include "platform/Notice.h"
#include "platform/RunLoop.h"
#include "platform/Settings.h"
#include "platform/headless/Headless.h"
#include "platform/sdl/Bootstrap.h"
#include "platform/sdl/MixerSound.h"
#include "platform/sdl/Renderer.h"
#include "platform/sdl/SoundControl.h"

using namespace platform;
using platform::sdl::MixerSound;
using platform::sdl::SoundControl;

namespace {

nlohmann::json readJson(const std::string& path) {
    std::ifstream in(path);
    return nlohmann::json::parse(in, nullptr, false);
}

// One run's sound: the settings file read, the mixer open and the remembered sound settings applied.
struct SoundRun {
    explicit SoundRun(bool startMuted = false) {
        loaded = settings.load();
        sound.open();
        control.restore(startMuted);
    }
    Settings settings;
    MixerSound sound;
    SoundControl control{sound, &settings};
    bool loaded = false;
};

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
    std::string config;
};

TEST_F(SettingsTest, TheFileLivesInTheConfigurationFolderAndKeepsWhatItDoesNotKnow) {
    EXPECT_EQ(Settings::defaultPath(), config + "/plumbrick/settings.json");
    write(R"({"sound": {"volume": 3, "balance": "left"}, "theme": {"colours": [1, 2]}})");
    SoundRun run;
    ASSERT_TRUE(run.loaded);
    EXPECT_EQ(run.sound.volume(), 3);
    run.control.key("m");
    nlohmann::json saved = readJson(Settings::defaultPath());
    EXPECT_EQ(saved["sound"]["muted"], true);
    EXPECT_EQ(saved["sound"]["balance"], "left");
    EXPECT_EQ(saved["theme"]["colours"], nlohmann::json::array({1, 2}));
}

TEST_F(SettingsTest, ADamagedFileIsIgnoredWithOneLogLineAndWrittenAnewOnTheNextChange) {
    for (const char* damaged : {"{\"sound\": {\"muted\": tru", "[1, 2, 3]", "\x89PNG\r\n\x1a\n"}) {
        write(damaged);
        int before = logLinesWith("settings:");
        SoundRun run;
        EXPECT_FALSE(run.loaded) << damaged;
        EXPECT_EQ(logLinesWith("settings:"), before + 1) << damaged;
        EXPECT_FALSE(run.sound.isMuted()) << damaged;
        EXPECT_EQ(run.sound.volume(), MixerSound::kVolumeSteps) << damaged;
        EXPECT_TRUE(run.control.key("m"));
        EXPECT_EQ(readJson(Settings::defaultPath())["sound"]["muted"], true) << damaged;
    }
}

TEST_F(SettingsTest, VolumeKeysStepWithinRangeShowTheLevelAndAreRemembered) {
    SoundRun run;
    for (const char* k : {"-", "keypad -", "=", "+", "keypad +"}) EXPECT_TRUE(run.control.key(k)) << k;
    EXPECT_EQ(Notices::shared().posted(),
              (std::vector<std::string>{"Volume 7/8", "Volume 6/8", "Volume 7/8", "Volume 8/8", "Volume 8/8"}));
    for (int i = 0; i < 10; ++i) run.control.key("-");
    EXPECT_EQ(run.sound.volume(), 0) << "never below nothing";
    run.control.key("=");
    EXPECT_EQ(readJson(Settings::defaultPath())["sound"]["volume"], 1);
}

TEST_F(SettingsTest, StartingMutedSilencesThisRunWithoutChangingWhatIsRemembered) {
    SoundRun run(true);
    EXPECT_TRUE(run.sound.isMuted());
    run.control.key("-");
    EXPECT_EQ(Notices::shared().posted().back(), "Volume 7/8 (sound off)");
    EXPECT_EQ(readJson(Settings::defaultPath())["sound"]["muted"], false);
}

// What both mains share: the remembered sound and shadow applied, the sound keys seen by the window, links
// handed to the opener the options name, and the backends put back when the program's parts go.
TEST_F(SettingsTest, TheBootstrapComposesTheRememberedSettingsTheWindowAndTheBackendsAndTakesThemBack) {
    write(R"({"sound": {"muted": true}, "display": {"shadow": false}})");
    headless::VirtualClock clock;
    std::vector<std::string> opened;
    {
        sdl::Bootstrap program(clock);
        EXPECT_TRUE(program.sound().isMuted());
        sdl::DesktopOptions options;
        options.openURL = [&opened](const std::string& url) {
            opened.push_back(url);
            return true;
        };
        ASSERT_TRUE(program.openWindow(options));
        EXPECT_FALSE(program.desktop().renderer()->shadows());
        EXPECT_EQ(RunLoop::main().clock(), &clock);
        EXPECT_TRUE(Application::sharedApplication().openURL("https://plumbrick.test/"));
        EXPECT_EQ(opened, std::vector<std::string>{"https://plumbrick.test/"});
        program.desktop().handleEvent(keyDown("m"));
        EXPECT_FALSE(program.sound().isMuted()) << "M went to the screen, not the sound keys";
    }
    EXPECT_EQ(RunLoop::main().clock(), nullptr);
    EXPECT_FALSE(Application::sharedApplication().openURL("https://plumbrick.test/again"));
    EXPECT_EQ(opened.size(), 1u);
}
