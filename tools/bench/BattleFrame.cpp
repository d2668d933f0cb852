#include "BattleFrame.h"

#include "FigureStats.h"
#include "FrameLoop.h"
#include "GpuPhaseTimer.h"

#include "app/GameLoop.h"
#include "game/Angles.h"
#include "game/Clearance.h"
#include "game/NavGraph.h"
#include "platform/Keys.h"
#include "platform/Window.h"
#include "scene/Scene.h"

#include <glm/glm.hpp>

#include <algorithm>
#include <array>
#include <chrono>
#include <iomanip>
#include <memory>
#include <vector>

namespace {

constexpr std::uint64_t kSeed = 1;
constexpr double kStartSeconds = 5.0;   // for a match to start after ENTER
constexpr float kPlaceStep = 1.5f;      // units between the places tried
constexpr float kPlaceSpacing = 3.5f;   // units at least between two tanks placed
constexpr float kNearest = 6.0f;        // units ahead of the player, at the least
constexpr float kFarthest = 16.0f;      // units ahead of the player, at the most
constexpr float kFanSlope = 0.4f;       // units across for each unit ahead, either way
constexpr float kHeadingStep = 45.0f;   // degrees between the headings tried
constexpr float kInViewMargin = 1.0f;   // of the picture's half size
constexpr float kArenaHalfSize = 19.0f; // units: the places tried lie within the walls
constexpr int kShieldTicks = 2;         // renewed every frame
constexpr float kCentreHeight = 0.5f;   // units: a tank's middle above its base

// One game to measure: its scene, its loop and where its computer's tanks are kept.
struct Game {
    std::unique_ptr<Scene> scene;
    std::unique_ptr<GameLoop> loop;
    glm::vec3 player{0.0f}; // where the player's tank is kept, looking along heading
    float heading = 0.0f;
    std::vector<glm::vec3> places; // of seats 1, 2, ...
    int fewestInView = MatchSetup::kMaxSeats;
    long inViewFrames = 0; // the tanks in view, summed over the frames
    long frames = 0;
    std::array<bool, MatchSetup::kMaxSeats> fired{};
};

bool inView(const glm::mat4& viewProjection, glm::vec3 point) {
    const glm::vec4 clip = viewProjection * glm::vec4(point, 1.0f);
    if (clip.w <= 0.0f) {
        return false;
    }
    const glm::vec3 ndc = glm::vec3(clip) / clip.w;
    return std::abs(ndc.x) < kInViewMargin && std::abs(ndc.y) < kInViewMargin;
}

void pressEnter(Scene& scene) {
    scene.window.injectKey(keys::kEnter, KeyAction::Press);
    scene.window.injectKey(keys::kEnter, KeyAction::Release);
}

// A stage on open ground: where the player stands and looks, and count places ahead of it
// within a narrow fan, spread out; the stage of the most places found, up to count.
struct Stage {
    glm::vec3 player{0.0f};
    float heading = 0.0f;
    std::vector<glm::vec3> places;
};

Stage stageFor(const Arena& arena, int count) {
    const auto clear = [&arena](glm::vec3 at) {
        return clearance::standsClear(arena, at, NavGraph::kStandRadius, 0.0f);
    };
    Stage best;
    for (float x = -kArenaHalfSize; x <= kArenaHalfSize; x += kPlaceSpacing) {
        for (float z = -kArenaHalfSize; z <= kArenaHalfSize; z += kPlaceSpacing) {
            const glm::vec3 player(x, 0.0f, z);
            if (!clear(player)) {
                continue;
            }
            for (float heading = -180.0f; heading < 180.0f; heading += kHeadingStep) {
                Stage stage{player, heading, {}};
                const glm::vec3 look = headingDirection(heading);
                const glm::vec3 side(-look.z, 0.0f, look.x);
                for (float ahead = kNearest; ahead <= kFarthest; ahead += kPlaceStep) {
                    for (float across = -ahead * kFanSlope; across <= ahead * kFanSlope;
                         across += kPlaceStep) {
                        const glm::vec3 at = player + ahead * look + across * side;
                        const bool apart = std::all_of(
                            stage.places.begin(), stage.places.end(), [&](glm::vec3 placed) {
                                return glm::length(at - placed) >= kPlaceSpacing;
                            });
                        if (apart && static_cast<int>(stage.places.size()) < count && clear(at)) {
                            stage.places.push_back(at);
                        }
                    }
                }
                if (stage.places.size() > best.places.size()) {
                    best = stage;
                }
            }
        }
    }
    return best;
}

bool start(Game& game, Window& window, const Settings& settings) {
    game.scene = std::make_unique<Scene>(window, kSeed, kSeed, nullptr, nullptr, settings);
    game.loop = std::make_unique<GameLoop>(window, *game.scene);
    pressEnter(*game.scene);
    const auto entered = std::chrono::steady_clock::now();
    while (game.scene->client.flow->phase() == Phase::Title &&
           std::chrono::steady_clock::now() - entered <
               std::chrono::duration<double>(kStartSeconds)) {
        game.loop->frame();
    }
    if (game.scene->client.flow->phase() == Phase::Title) {
        return false;
    }
    const Stage stage =
        stageFor(game.scene->client.flow->match.arena, game.scene->client.flow->seatCount() - 1);
    game.player = stage.player;
    game.heading = stage.heading;
    game.places = stage.places;
    return true;
}

// One frame of the game: every tank shielded, so that none leaves the picture destroyed, and
// the tanks back at their places when they drove off (the player's looking the stage's way);
// then the game's own frame.
// A shield stops hits, not shots: every tank goes on firing, and every hit bursts.
FrameSample frame(Game& game, FrameObserver& observer) {
    Scene& scene = *game.scene;
    Match& match = scene.client.flow->match;
    if (scene.client.flow->phase() == Phase::Ended) {
        pressEnter(scene);
    }
    for (int seat = 0; seat < match.seatCount(); ++seat) {
        match.tank(seat).graceTicks = kShieldTicks;
    }
    Tank& own = match.tank(GameClient::kPlayerSeat);
    if (glm::length(own.position - game.player) > kPlaceStep || own.heading != game.heading) {
        own.placeAt(game.player, game.heading, 0.0f);
    }
    for (std::size_t index = 0; index < game.places.size(); ++index) {
        Tank& tank = match.tank(static_cast<int>(index) + 1);
        if (tank.inPlay() && glm::length(tank.position - game.places[index]) > kPlaceStep) {
            tank.placeAt(game.places[index], tank.heading, 0.0f);
        }
    }
    // The player fires too: a click every frame, one shot each reload.
    scene.window.injectButton(buttons::kLeft, KeyAction::Press);
    scene.window.injectButton(buttons::kLeft, KeyAction::Release);
    scene.frameObserver = &observer;
    game.loop->frame();
    scene.frameObserver = nullptr;
    const glm::mat4 viewProjection = GameClient::projection() * scene.client.view(1.0f);
    int seen = 0;
    for (int seat = 0; seat < match.seatCount(); ++seat) {
        const glm::vec3 centre = match.tank(seat).position + glm::vec3(0.0f, kCentreHeight, 0.0f);
        seen += inView(viewProjection, centre) ? 1 : 0;
    }
    game.fewestInView = std::min(game.fewestInView, seen);
    game.inViewFrames += seen;
    ++game.frames;
    // A tank reloading has fired (a battle reloads after every shot); the last tick's shots
    // count too (Classic rules do not reload).
    for (int seat = 0; seat < match.seatCount(); ++seat) {
        game.fired[static_cast<std::size_t>(seat)] |= match.tank(seat).reloadTicks > 0;
    }
    for (const GameEvent& event : scene.client.events) {
        if (event.type == GameEventType::Shot) {
            game.fired[static_cast<std::size_t>(event.seat)] = true;
        }
    }
    FrameSample sample;
    sample.ms[FrameSample::UpdateCpu] = game.loop->updateSeconds() * 1000.0;
    sample.ms[FrameSample::RenderCpu] = game.loop->renderSeconds() * 1000.0;
    return sample;
}

} // namespace

bool measureBattleFrame(std::ostream& out, Window& window, double seconds) {
    Settings duelSettings;
    Settings battleSettings;
    battleSettings.mode = Mode::Battle;
    battleSettings.tanks = MatchSetup::kMaxSeats;
    Game duel;
    Game battle;
    if (!start(duel, window, duelSettings) || !start(battle, window, battleSettings)) {
        out << "battle frame: a match did not start\n";
        return false;
    }
    GpuPhaseTimer timer;
    MeasurePlan plan;
    plan.seconds = seconds;
    const std::vector<Run> runs = measureFrames(
        plan, timer,
        {{"duel", [] {}, [&duel](FrameObserver& observer) { return frame(duel, observer); }},
         {"battle", [] {},
          [&battle](FrameObserver& observer) { return frame(battle, observer); }}});
    const double duelMs = summarise(runs[0].samples, FrameSample::WholeFrame).median;
    const double battleMs = summarise(runs[1].samples, FrameSample::WholeFrame).median;
    const auto firing = [](const Game& game) {
        return std::count(game.fired.begin(), game.fired.end(), true);
    };
    out << std::fixed << std::setprecision(2) << "Full frame, a battle of "
        << battle.scene->client.flow->seatCount() << " tanks against a duel, same run: median "
        << battleMs << " ms against " << duelMs << " ms, " << std::setprecision(3)
        << battleMs / duelMs << "x; tanks in view " << std::setprecision(1)
        << static_cast<double>(battle.inViewFrames) / static_cast<double>(battle.frames)
        << " on average, " << battle.fewestInView << " at the fewest (duel "
        << static_cast<double>(duel.inViewFrames) / static_cast<double>(duel.frames) << ", "
        << duel.fewestInView << "); tanks that fired " << firing(battle) << " (duel "
        << firing(duel) << ")\n";
    return true;
}
