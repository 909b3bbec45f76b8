#include "services/GameScreenController.h"

#include "platform/Date.h"
#include "platform/Notification.h"

namespace plumbrick {

GameScreenController::GameScreenController(std::string gameId, std::string layoutName, VCRootControllerProtocol* root)
    : platform::ViewController(std::move(layoutName)), nameGame(std::move(gameId)), idParentController(root) {}

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
    if (dropLostRound()) game_face::releaseStateFile(pathStateFile());   // a checkpoint of the lost round
    saveStateGame();
}

void GameScreenController::applicationCheckpoint(const std::string&) {
    game_face::checkpointRound(*this, checkpoints, now(), [this] { return writeCheckpoint(); });
}

void GameScreenController::setDisplayAlfa(bool flag) {
    if (!isViewLoaded()) return;
    game_face::setDisplayAlfa(gameView(), arDisplayAlfa, flag);
}

}   // namespace plumbrick
