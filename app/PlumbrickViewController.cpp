#include "app/PlumbrickViewController.h"

#include <cstdio>

#include "app/IntroViewController.h"
#include "app/MainMenuViewController.h"
#include "games/cook/PanflipViewController.h"
#include "games/egg/YolkfallViewController.h"
#include "platform/Image.h"
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

void PlumbrickViewController::beginTransition(void* context, double duration) {
    View::beginAnimations({}, context);
    View::setAnimationTransition(0, view(), true);
    View::setAnimationDuration(duration);
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

    beginTransition(gameView.get(), kGameFadeDuration);
    // The context reaches the end report only while the game's view still exists.
    View::setAnimationDelegate(lifetime(), [this, mine = ++transition, weakView = std::weak_ptr<View>(gameView)](
                                               const std::string& animationId, bool finished, void*) {
        if (mine == transition) eventStopAnimationGameFromMenu(animationId, finished, weakView.lock().get());
    });
    gameView->setAlpha(1.0);
    gameView->setTransform(AffineTransform::identity());
    View::commitAnimations();
}

void PlumbrickViewController::eventStopAnimationGameFromMenu(const std::string& animationId, bool finished,
                                                             void* context) {
    (void)animationId;
    (void)finished;
    auto* gameView = static_cast<View*>(context);
    if (viewControllerMenu->isViewLoaded()) viewControllerMenu->view()->removeFromSuperview();

    beginTransition(nullptr, kMenuButtonSlideDuration);
    if (View* button = gameView ? gameView->viewWithTag(kMenuButtonTag) : nullptr)
        button->setTransform(AffineTransform::makeTranslation(0, -button->frame().size.height));
    View::commitAnimations();
}

void PlumbrickViewController::switchMenuFromGame(platform::ViewController* game) {
    beginTransition(game, kMenuButtonSlideDuration);
    // The context reaches the end report only while the game's controller still exists.
    View::setAnimationDelegate(lifetime(), [this, mine = ++transition, gameAlive = platform::watchOf(game)](
                                               const std::string& animationId, bool finished, void* context) {
        if (mine == transition)
            eventStopAnimationBtMenuDown(animationId, finished, gameAlive.gone() ? nullptr : context);
    });
    View* gameView = game ? game->view() : nullptr;
    if (View* button = gameView ? gameView->viewWithTag(kMenuButtonTag) : nullptr)
        button->setTransform(AffineTransform::makeTranslation(0, button->frame().size.height));
    View::commitAnimations();
}

void PlumbrickViewController::eventStopAnimationBtMenuDown(const std::string& animationId, bool finished,
                                                           void* context) {
    (void)animationId;
    (void)finished;
    auto* game = static_cast<platform::ViewController*>(context);
    view()->insertSubviewAtIndex(viewControllerMenu->viewShared(), 0);
    View* gameView = game ? game->view() : nullptr;
    if (gameView) gameView->setTransform(AffineTransform::identity());

    beginTransition(nullptr, kGameFadeDuration);
    View::setAnimationDelegate(lifetime(),
                               [this](const std::string&, bool, void*) { eventStopAnimationMenuFromGame(); });
    if (gameView) {
        gameView->setAlpha(0.0);
        gameView->setTransform(AffineTransform::makeScale(kGameStartScale, kGameStartScale));
    }
    View::commitAnimations();
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
