// Keys (and gamepad buttons) press only what a touch could reach: with the statistics open over a paused
// round, nothing the face's keys name answers, and after BACK the same keys work again.

#include <gtest/gtest.h>

#include <sstream>

#include "input_fixture.h"

using namespace platform;

namespace {

// What the player could see change: every view's visibility, alpha and frame, and the sounds played.
std::string snapshot(View& v) {
    std::ostringstream out;
    out << v.isHidden() << ' ' << v.alpha() << ' ' << v.frame().origin.x << ',' << v.frame().origin.y << ';';
    for (const auto& child : v.subviews()) out << snapshot(*child);
    return out.str();
}

// The keys of the face's controls, front to back.
void faceKeys(View& v, std::vector<std::string>& keys) {
    for (const auto& child : v.subviews()) faceKeys(*child, keys);
    if (auto* c = dynamic_cast<Control*>(&v); c && !c->keyEquivalent().empty()) keys.push_back(c->keyEquivalent());
}

}   // namespace

class CoveredRound : public InputFixture, public ::testing::WithParamInterface<int> {};

TEST_P(CoveredRound, StatisticsOverAPausedRoundTakeNoKeyOfTheFaceAndBackGivesThemBack) {
    const int slot = GetParam();
    View& face = *openGame(slot);
    driver.startRound(2.0);
    driver.pause();
    std::vector<std::string> keys;
    faceKeys(face, keys);
    ASSERT_GE(keys.size(), 7u);
    driver.statistics();
    View* statistics = root().getViewControllerGamesResult()->view();
    ASSERT_TRUE(statistics->isDescendantOf(&driver.root()));

    const std::string before = snapshot(face);
    const std::size_t sounds = driver.env().sounds().size();
    auto hit = [this](const SDL_Event& e) {   // an event, then half a second of the game
        desktop.handleEvent(e);
        driver.advance(0.5);
    };
    // Each key of the face, then every gamepad button but the two that close the statistics, changes nothing.
    std::vector<std::pair<SDL_Event, std::string>> presses;
    for (const std::string& name : keys)
        if (name != "escape") presses.emplace_back(keyDown(name), "key " + name);   // escape: the statistics' BACK
    for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b)
        if (b != SDL_CONTROLLER_BUTTON_BACK && b != SDL_CONTROLLER_BUTTON_B)
            presses.emplace_back(padButton(b), "button " + std::to_string(b));
    for (const auto& [event, what] : presses) {
        hit(event);
        EXPECT_EQ(snapshot(face), before) << what;
        EXPECT_EQ(driver.env().sounds().size(), sounds) << what;
        EXPECT_TRUE(statistics->isDescendantOf(&driver.root())) << what;
    }
    // The stick pushed each way.
    for (int a : {SDL_CONTROLLER_AXIS_LEFTX, SDL_CONTROLLER_AXIS_LEFTY})
        for (int value : {30000, 0, -30000, 0}) desktop.handleEvent(padAxis(a, value));
    driver.advance(0.5);
    EXPECT_EQ(snapshot(face), before) << "the stick";
    EXPECT_FALSE(isPlaying(slot)) << "the round stays paused";

    hit(keyDown("escape"));
    EXPECT_FALSE(statistics->isDescendantOf(&driver.root())) << "BACK closes the statistics";
    hit(keyDown("space"));
    EXPECT_TRUE(isPlaying(slot)) << "Space resumes the round again";
    const std::string moved = snapshot(face);
    desktop.handleEvent(keyDown(slot == 2 ? "left" : "p"));
    EXPECT_NE(snapshot(face), moved) << "the basket or the cook moves again";

    // The same with the pad: Y opens the statistics, Back closes them, Start pauses and the D-pad moves.
    for (int b : {SDL_CONTROLLER_BUTTON_Y, SDL_CONTROLLER_BUTTON_START, SDL_CONTROLLER_BUTTON_BACK}) hit(padButton(b));
    EXPECT_FALSE(statistics->isDescendantOf(&driver.root())) << "Back closes the statistics";
    hit(padButton(SDL_CONTROLLER_BUTTON_START));
    EXPECT_TRUE(isPlaying(slot)) << "Start resumes the round";
    const std::string again = snapshot(face);
    desktop.handleEvent(padButton(slot == 2 ? SDL_CONTROLLER_BUTTON_DPAD_RIGHT : SDL_CONTROLLER_BUTTON_DPAD_DOWN));
    EXPECT_NE(snapshot(face), again) << "the D-pad moves the basket or the cook";
}

INSTANTIATE_TEST_SUITE_P(EggAndCook, CoveredRound, ::testing::Values(1, 2));
