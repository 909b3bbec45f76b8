#include "app/PlumbrickViewController.h"

#include <cstdio>

#include "app/IntroViewController.h"
#include "app/MainMenuViewController.h"
#include "games/cook/PanflipViewController.h"
#include "games/egg/YolkfallViewController.h"
#include "platform/Animation.h"
#include "platform/Control.h"
#include "platform/Image.h"
#include "platform/ImageView.h"
#include "platform/TableView.h"
#include "services/GamesResultViewController.h"
#include "services/VCGamesResult.h"

namespace plumbrick {

using platform::AffineTransform;
using platform::View;

namespace {

template <class Game>
std::shared_ptr<platform::ViewController> makeGame(const std::string& gameId, const std::string& layoutName,
                                                   VCRootControllerProtocol* root) {
    return std::make_shared<Game>(gameId, layoutName, root);
}

// Slots 3 to 6 are the egg game's engine with faces, ids, results and saved rounds of their own.
const std::array<GameSlot, PlumbrickViewController::kSlotCount> kGameSlots{{
    {"Yolkfall.v1", "YolkfallViewController", &makeGame<YolkfallViewController>},
    {"Panflip.v1", "PanflipViewController", &makeGame<PanflipViewController>},
    {"Antlerby.v1", "AntlerbyViewController", &makeGame<YolkfallViewController>},
    {"Reelholm.v1", "ReelholmViewController", &makeGame<YolkfallViewController>},
    {"Starwick.v1", "StarwickViewController", &makeGame<YolkfallViewController>},
    {"Whiskerpond.v1", "WhiskerpondViewController", &makeGame<YolkfallViewController>},
}};

}   // namespace

const std::array<GameSlot, PlumbrickViewController::kSlotCount>& PlumbrickViewController::gameSlots() {
    return kGameSlots;
}

PlumbrickViewController::PlumbrickViewController(std::string nibName) : platform::ViewController(std::move(nibName)) {}

PlumbrickViewController::~PlumbrickViewController() = default;

platform::ViewController* PlumbrickViewController::getViewControllerGame(int slot) const {
    if (slot < 1 || slot > kSlotCount) return nullptr;
    return viewControllerGames[slot - 1].get();
}

void PlumbrickViewController::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    for (auto& game : viewControllerGames) game.reset();

    viewControllerMenu = std::make_shared<MainMenuViewController>("MainMenuViewController");
    viewControllerMenu->setIdParentController(this);

    viewControllerIntro = std::make_shared<IntroViewController>("IntroViewController");
    viewControllerIntro->setIdParentController(this);

    // Loads the intro's view, whose own viewDidLoad starts its fade-in.
    view()->addSubview(viewControllerIntro->viewShared());
    numGameItem = 0;
}

bool PlumbrickViewController::shouldAutorotateToInterfaceOrientation(int orientation) {
    return orientation == platform::InterfaceOrientationLandscapeRight;
}

void PlumbrickViewController::switchToIntro() {
    auto menuView = viewControllerMenu->viewShared();   // the first time this builds the pages
    if (!menuView) return;
    menuView->setAlpha(1.0);
    view()->addSubview(menuView);
}

void PlumbrickViewController::switchGameFromMenu(int slot) {
    if (slot < 1 || slot > kSlotCount) return;
    auto& game = viewControllerGames[slot - 1];
    if (!game) {
        const GameSlot& row = kGameSlots[slot - 1];
        if (!row.make) return;
        game = row.make(row.gameId, row.layoutName, this);
        if (!game) return;
    }

    auto gameView = game->viewShared();
    if (!gameView) return;
    numGameItem = slot;

    view()->addSubview(gameView);
    gameView->setAlpha(0.0);
    gameView->setTransform(AffineTransform::identity().scaled(kGameStartScale, kGameStartScale));

    // An entrance or a menu-button drop still under way is overtaken: its end would take away the screen
    // that this one puts up.
    transition.cancelCompletion();
    transition = platform::Animation::start(
        {.duration = kGameFadeDuration},
        [&] {
            gameView->setAlpha(1.0);
            gameView->setTransform(AffineTransform::identity());
        },
        lifetime(),
        [this, weakView = std::weak_ptr<View>(gameView)](bool) {
            eventStopAnimationGameFromMenu(weakView.lock().get());
        });
}

void PlumbrickViewController::eventStopAnimationGameFromMenu(View* gameView) {
    if (viewControllerMenu->isViewLoaded()) viewControllerMenu->view()->removeFromSuperview();

    platform::Animation::start({.duration = kMenuButtonSlideDuration}, [gameView] {
        if (View* button = gameView ? gameView->viewWithTag(kMenuButtonTag) : nullptr)
            button->setTransform(AffineTransform::makeTranslation(0, -button->frame().size.height));
    });
}

void PlumbrickViewController::switchMenuFromGame(platform::ViewController* game) {
    transition.cancelCompletion();   // overtaken, as above
    transition = platform::Animation::start(
        {.duration = kMenuButtonSlideDuration},
        [game] {
            View* gameView = game ? game->view() : nullptr;
            if (View* button = gameView ? gameView->viewWithTag(kMenuButtonTag) : nullptr)
                button->setTransform(AffineTransform::makeTranslation(0, button->frame().size.height));
        },
        lifetime(),
        [this, game, gameAlive = platform::watchOf(game)](bool) {
            eventStopAnimationBtMenuDown(gameAlive.gone() ? nullptr : game);
        });
}

void PlumbrickViewController::eventStopAnimationBtMenuDown(platform::ViewController* game) {
    view()->insertSubviewAtIndex(viewControllerMenu->viewShared(), 0);
    View* gameView = game ? game->view() : nullptr;
    if (gameView) gameView->setTransform(AffineTransform::identity());

    // Not overtaken by a later transition: a game faded out goes even when another is chosen meanwhile.
    platform::Animation::start(
        {.duration = kGameFadeDuration},
        [gameView] {
            if (gameView) {
                gameView->setAlpha(0.0);
                gameView->setTransform(AffineTransform::makeScale(kGameStartScale, kGameStartScale));
            }
        },
        lifetime(), [this](bool) { eventStopAnimationMenuFromGame(); });
}

bool PlumbrickViewController::eventStopAnimationMenuFromGame() {
    const auto& stack = view()->subviews();
    // A game chosen again while it faded out is on its way in (alpha 1): it stays.
    if (stack.size() > 1 && stack[1]->alpha() <= 0.0) {
        std::shared_ptr<View> gameView = stack[1];   // its controller keeps it; the copy guards the call
        gameView->removeFromSuperview();
    }
    return true;
}

void PlumbrickViewController::switchInfoFromMenu(int tag) {
    char name[48];
    std::snprintf(name, sizeof name, "info_%2.2d.png", tag);
    auto picture = std::make_shared<platform::ImageView>(platform::Image::imageNamed(name));
    picture->setTag(tag);

    auto page = std::make_shared<platform::Control>(picture->frame());
    page->addSubview(picture);
    page->addTarget(this, &PlumbrickViewController::eventBackMenuFromInfo, platform::ControlEventTouchDown);
    view()->addSubview(page);
}

void PlumbrickViewController::eventBackMenuFromInfo(View* sender) {
    if (sender) sender->removeFromSuperview();
}

void PlumbrickViewController::switchInfoFromGame(const std::string& gameId) {
    if (!viewControllerGamesResult)
        viewControllerGamesResult = std::make_shared<GamesResultViewController>("GamesResultView");

    auto statistics = viewControllerGamesResult->viewShared();
    if (!statistics) return;
    view()->addSubview(statistics);

    VCGamesResult store(gameId);
    store.Load();
    const platform::PlistArray* list = store.getArGamesResult();   // Load always leaves a list
    viewControllerGamesResult->setArGamesResult(list ? std::make_shared<platform::PlistArray>(*list) : nullptr);
    if (platform::TableView* table = viewControllerGamesResult->getTbStatistic()) table->reloadData();
    statistics->setAlpha(1.0);
}

}   // namespace plumbrick
