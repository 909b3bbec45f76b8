#include "services/GameScreenController.h"

#include "platform/Date.h"
#include "platform/Notification.h"
#include "services/Support.h"

namespace plumbrick {

GameScreenController::GameScreenController(std::string gameId, std::string layoutName, VCRootControllerProtocol* root,
                                           const char* className)
    : platform::ViewController(std::move(layoutName)),
      nameGame(std::move(gameId)),
      className(className),
      idParentController(root) {}

GameScreenController::~GameScreenController() {
    // The platform would keep a controller for the application's whole life; here it may go first.
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

double GameScreenController::now() { return platform::Date::date().timeIntervalSince1970; }

void GameScreenController::bindLayout(platform::LayoutBindings& b) {
    b.action("pressBtStartGameA:", this, &GameScreenController::pressBtStartGameA);
    b.action("pressBtStartGameB:", this, &GameScreenController::pressBtStartGameB);
    b.action("pressBtStartGame:", this, &GameScreenController::pressBtStartGame);
    b.action("pressBtPause:", this, &GameScreenController::pressBtPause);
    b.action("pressBtMenu:", this, &GameScreenController::pressBtMenu);
    b.action("pressBtInfo:", this, &GameScreenController::pressBtInfo);
    b.outlet("ivGamePause", ivGamePause);
    b.outlet("btMenu", btMenu);
}

void GameScreenController::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    game_face::moveDownByOwnHeight(btMenu);
    auto& center = platform::NotificationCenter::defaultCenter();
    center.addObserver(this, &GameScreenController::applicationWillTerminate,
                       platform::ApplicationWillTerminateNotification);
    center.addObserver(this, &GameScreenController::applicationCheckpoint, platform::ApplicationCheckpointNotification);
    gameResult = std::make_unique<VCGamesResult>(nameGame);
    gameResult->Load();
    arDisplayAlfa.reset();
    segments.clear();
    dgScores = std::make_unique<VCNumeral>(gameView());
}

bool GameScreenController::shouldAutorotateToInterfaceOrientation(int orientation) {
    return orientation == platform::InterfaceOrientationLandscapeRight;
}

void GameScreenController::pressBtStartGameA(platform::View* sender) {
    setTypeGame(1);
    pressBtStartGame(sender);
}

void GameScreenController::pressBtStartGameB(platform::View* sender) {
    setTypeGame(2);
    pressBtStartGame(sender);
}

void GameScreenController::pressBtStartGame(platform::View*) { game_face::pressStartGame(*this); }

void GameScreenController::pressBtPause(platform::View*) { game_face::pressPause(*this); }

void GameScreenController::pressBtMenu(platform::View*) {
    game_face::holdRound(*this);
    if (idParentController) idParentController->switchMenuFromGame(this);
}

void GameScreenController::pressBtInfo(platform::View*) {
    game_face::holdRound(*this);
    if (idParentController) idParentController->switchInfoFromGame(nameGame);
}

void GameScreenController::applicationWillTerminate(const std::string&) {
    game_face::pauseRound(*this);
    if (roundLost()) {
        abandonRound();
        releaseStateFile();   // a checkpoint of the lost round
    }
    saveStateGame();
}

void GameScreenController::applicationCheckpoint(const std::string&) {
    game_face::checkpointRound(*this, checkpoints, now(), [this] { return writeCheckpoint(); });
}

// ---------------------------------------------------------------------------------------------
// The state file

bool GameScreenController::saveStateGame() const {
    if (getState() != kPaused) return true;
    return game_face::saveStateFile(pathStateFile(), className,
                                    [this](platform::KeyedArchiver& a) { encodeRound(a, false); });
}

// A playing round written as the pause would write it, while it plays on; a lost round never.
bool GameScreenController::writeCheckpoint() const {
    if (roundLost()) return false;
    return game_face::saveStateFile(pathStateFile(), className,
                                    [this](platform::KeyedArchiver& a) { encodeRound(a, true); });
}

// A restored round's file stays until the round goes on; any other regular file there is deleted.
bool GameScreenController::loadStateGame() {
    return game_face::loadStateFile(pathStateFile(), className, [this](const platform::KeyedUnarchiver& u) {
        return decodeRound(u) && getState() == kPaused;
    });
}

void GameScreenController::restoreRecord(const std::optional<platform::Date>& start) {
    gameResult->setGameRoundWithDateStart(*start);
    if (ivGamePause) ivGamePause->setHidden(false);
}

std::optional<platform::Date> GameScreenController::recordStart() const {
    if (gameResult && gameResult->getGameround()) return gameResult->getGameround()->getDateStart();
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------------
// The face

void GameScreenController::recordResult(double seconds, int scores, int penalty) {
    if (gameResult) gameResult->EndGame(game_face::wholeSeconds(seconds), scores, penalty);
}

void GameScreenController::showSegment(int tag, bool shown) {
    platform::View& face = gameView();   // loads the view first: loading starts a fresh list
    platform::Segment& segment = segments[tag];
    if (!segment) segment = platform::Segment::withTag(face, tag);
    segment.setHidden(!shown);
}

void GameScreenController::loadSounds(std::initializer_list<const char*> names) {
    sounds.assign(names.size(), platform::SystemSoundID{});
    std::size_t i = 0;
    for (const char* name : names) initSound(sounds[i++], name, "aif");
}

void GameScreenController::setDisplayAlfa(bool flag) {
    if (!isViewLoaded()) return;
    game_face::setDisplayAlfa(gameView(), arDisplayAlfa, flag);
}

}   // namespace plumbrick
