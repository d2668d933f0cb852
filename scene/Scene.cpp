#include "scene/Scene.h"

#include "assets/ArenaFile.h"
#include "assets/ArenaFolders.h"
#include "game/Angles.h"
#include "game/ShotPath.h"
#include "platform/GlCheck.h"
#include "render/AssetPaths.h"
#include "scene/SeatColours.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <sstream>
#include <string_view>

namespace {

constexpr std::size_t kDraws = 128; // pieces, bullets and tanks, with room to spare
// The ground is drawn after everything standing on it, however near: it hides nothing.
constexpr float kGroundDistance = 1.0e6f;
constexpr float kDimmed = 0.3f;           // brightness behind the title and end screens
constexpr float kHelpDimmed = 0.5f;       // behind the list of controls over a match
constexpr float kSeeThroughPiece = 0.35f; // opacity of a piece that hides the player's tank
constexpr float kUndimmed = 1.0f;
constexpr double kMinimisedWaitSeconds = 0.05; // between looks at a minimised window
const glm::vec3 kUp(0.0f, 1.0f, 0.0f);
// The hull's marker stands on the ground this far ahead of the hull's middle, past the barrel's
// muzzle, and points along the hull.
constexpr float kHullMarkAhead = 3.0f;  // units
constexpr float kHullMarkHeight = 0.1f; // units above the tank's base

// Towards the sun, normalize(2, 3, 1), worked out in single precision.
glm::vec3 sunDirection() {
    const float f = 1.0f / std::sqrt(14.0f);
    return glm::vec3(2.0f * f, 3.0f * f, f);
}

void addTank(DrawList& draws, const Tank& tank, const SceneModels& models, const Material& material,
             float alpha, float blend, glm::vec3 eye) {
    const TankPose pose = tank.poseAt(blend);
    const glm::mat4 place = glm::translate(glm::mat4(1.0f), pose.position);
    const float distance = glm::length(pose.position - eye);
    draws.add({&models.hull, rotateDegrees(place, pose.heading, kUp), &material, alpha, distance});
    draws.add({&models.turret, rotateDegrees(place, pose.turretHeading, kUp), &material, alpha,
               distance});
}

// A tank that cannot be hit (the grace after a hit) blinks: faded every other tenth of a
// second.
float blinking(const Tank& tank) {
    constexpr int kBlinkTicks = 6; // a tenth of a second
    constexpr float kFaded = 0.25f;
    return tank.graceTicks > 0 && (tank.graceTicks / kBlinkTicks) % 2 == 1 ? kFaded : 1.0f;
}

// The world box around a piece of the arena.
Bounds pieceBounds(const ArenaPiece& piece) {
    Bounds box{glm::vec3(piece.shape.m_vertices[0].x, piece.bottom, piece.shape.m_vertices[0].y),
               glm::vec3(piece.shape.m_vertices[0].x, piece.top, piece.shape.m_vertices[0].y)};
    for (int i = 1; i < piece.shape.m_count; ++i) {
        const glm::vec3 corner(piece.shape.m_vertices[i].x, piece.bottom,
                               piece.shape.m_vertices[i].y);
        box = unite(box, {corner, corner});
    }
    return box;
}

// The box around every piece of the arena, and so around all that moves in it.
Bounds arenaBounds(const std::vector<ArenaPiece>& pieces) {
    Bounds box = pieceBounds(pieces.front());
    for (const ArenaPiece& piece : pieces) {
        box = unite(box, pieceBounds(piece));
    }
    return box;
}

// A point or direction as seen from above.
glm::vec2 overhead(glm::vec3 v) {
    return {v.x, v.z};
}

RadarTank radarTank(const TankPose& pose, glm::vec4 colour) {
    return {overhead(pose.position), overhead(headingDirection(pose.heading)), colour};
}

// From the eye to the nearest point of the piece, whose world box is box.
float distanceToPiece(glm::vec3 eye, const ArenaPiece& piece, const Bounds& box) {
    if (piece.kind == PieceKind::Ground) {
        return kGroundDistance;
    }
    return glm::length(eye - glm::clamp(eye, box.min, box.max));
}

// A piece's footprint as the radar shows it: a box in world (x, z), placed by the identity
// transform.
RadarPiece radarPiece(const ArenaPiece& piece) {
    RadarPiece seen{piece.kind, piece.top, {}};
    for (std::size_t i = 0; i < seen.corners.size(); ++i) {
        seen.corners[i] = glm::vec2(piece.shape.m_vertices[i].x, piece.shape.m_vertices[i].y);
    }
    return seen;
}

} // namespace

Scene::Scene(Window& window, std::uint64_t aiSeed, unsigned int particleSeed,
             const Recording* replay, RecordingWriter* recorder, const Settings& settings,
             const SettingsFile* settingsFile, const Arena& arena, Loading loading)
    : window(window), client(aiSeed, replay, recorder, settings, arena),
      loading(window, client, loading == Loading::BehindTheTitle),
      renderer(sunDirection(), particleSeed,
               {window.framebufferSize(), RenderQuality::of(settings.quality, settings.renderScale),
                arenaBounds(client.shownMatch().arena.pieces)},
               this->loading),
      sound(this->loading.then(renderer.text, [] { return SceneSound(kSoundDir); })),
      settingsFile(settingsFile), radarSetting(!settings.radar), arenaSetting(settings.arena) {
    window.setKeyListener(this);
    applySettings(settings);
    if (!sound.output().hasDevice()) {
        client.feed.add(AudioSystem::kNoDeviceLine);
    }
    takeArena();
    drawList.opaque.reserve(kDraws);
    drawList.seeThrough.reserve(kDraws);
    if (this->loading.on()) {
        rehearsal = 0;
    }
}

static_assert(RadarContent::kMaxPieces >= ArenaFile::kMaxPieces, "every piece on the radar");

void Scene::takeArena() {
    // The arena's pieces stand still through a match: their boxes and radar footprints are
    // worked out here, once per arena.
    const Arena& arena = client.shownMatch().arena;
    arenaShown = client.shownArenaHash();
    pieceBoxes.clear();
    radar.pieces.clear();
    for (const ArenaPiece& piece : arena.pieces) {
        pieceBoxes.push_back(pieceBounds(piece));
        if (piece.visible) {
            radar.addPiece(radarPiece(piece));
        }
    }
    sceneBounds = arenaBounds(arena.pieces);
    // The circle around the arena seen from above, so that every tank is always on the radar.
    radar.centre = overhead(sceneBounds.min + sceneBounds.max) / 2.0f;
    radar.radius = glm::length(overhead(sceneBounds.size())) / 2.0f;
    renderer.shadowMap.setReach(sceneBounds);
}

Scene::~Scene() {
    window.setKeyListener(nullptr);
}

void Scene::onKey(int key, KeyAction action) {
    if (client.menu.typing()) {
        return; // the keys spell a name
    }
    options.onKey(key, action);
    sound.onKey(key, action);
    if (key == keys::kF11 && action == KeyAction::Release) {
        client.setFullscreen(!client.settings.fullscreen);
    }
}

void Scene::update() {
    client.tick(window.input());
    if (client.takeSettingsChange()) {
        applySettings(client.settings);
        std::string error;
        if (settingsFile != nullptr && !settingsFile->save(client.settings, error)) {
            std::cerr << error << std::endl;
        }
    }
    // Another arena shown (chosen, or a server's): between matches, never within one.
    if (client.shownArenaHash() != arenaShown) {
        takeArena();
    }
    handleEvents();
}

void Scene::applySettings(const Settings& settings) {
    window.setFullscreen(settings.fullscreen);
    quality = RenderQuality::of(settings.quality, settings.renderScale);
    sound.setLevels(settings.masterVolume, settings.engineVolume);
    // Only a change of the setting itself shows or hides the radar: another setting changing
    // (F11 switching the window) leaves it as F6 left it.
    if (settings.radar != radarSetting) {
        radarSetting = settings.radar;
        options.showRadar = settings.radar;
    }
    if (settings.arena != arenaSetting) {
        arenaSetting = settings.arena;
        std::ostringstream fault;
        client.setArena(ArenaFolders::standard().load(settings.arena, fault));
        if (const std::string line = fault.str(); !line.empty()) {
            std::cerr << line << std::flush;
            client.feed.add(std::string_view(line).substr(0, line.size() - 1)); // no newline
        }
    }
}

void Scene::handleEvents() {
    const bool backdrop = client.showingTitle();
    if (!backdrop) {
        sound.play(client.events);
    }
    // A battle's console says who destroyed whom, not what every tank and controller did.
    const bool battle = client.shownMatch().state.mode == Mode::Battle;
    for (const GameEvent& event : client.events) {
        switch (event.type) {
        case GameEventType::Log:
            if (!backdrop && !battle) {
                std::cout << event.text << std::endl;
            }
            break;
        case GameEventType::Announce:
            if (!backdrop) {
                std::cout << event.text << std::endl;
            }
            break;
        case GameEventType::TankHit:
        case GameEventType::WallHit:
            renderer.particles.trigger(event.position);
            break;
        default:
            break;
        }
    }
}

void Scene::describeWorld(float blend) {
    drawList.clear();
    const Match& match = client.shownMatch();
    const SceneModels& models = renderer.models;
    const glm::vec3 eye = client.eyeAt(blend);
    // On the title the backdrop's tanks keep their seats' colours.
    const int own = client.showingTitle() ? GameClient::kPlayerSeat : client.localSeat();
    const Tank& player = match.tank(own);
    const TankPose playerPose = player.poseAt(blend);
    const bool following = !client.showingTitle();
    const std::vector<ArenaPiece>& pieces = match.arena.pieces;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const ArenaPiece& piece = pieces[i];
        if (piece.visible) {
            // A piece between the chase camera and the player's tank lets the tank be seen.
            const float alpha = following && ChaseCamera::hidesTank(piece, eye, playerPose)
                                    ? kSeeThroughPiece
                                    : 1.0f;
            drawList.add({&models.pieceModel(piece.kind), piece.modelMatrix, &models.pieceMaterial,
                          alpha, distanceToPiece(eye, piece, pieceBoxes[i])});
        }
    }
    for (const Bullet& bullet : match.state.bullets.bullets) {
        if (!bullet.dead) {
            const glm::vec3 at = bullet.positionAt(blend);
            const glm::mat4 place = glm::translate(glm::mat4(1.0f), at);
            drawList.add({&models.bullet, rotateDegrees(place, bullet.drawHeading(), kUp),
                          &models.bulletMaterial, 1.0f, glm::length(at - eye)});
        }
    }
    for (int seat = 0; seat < match.seatCount(); ++seat) {
        const Tank& tank = match.tank(seat);
        if (!tank.inPlay()) {
            continue;
        }
        const float seen = seat == own && !client.showingTitle() ? client.playerOpacity() : 1.0f;
        addTank(drawList, tank, models,
                models.tankMaterial(seat_colours::of(match.state, seat, own)),
                std::min(seen, blinking(tank)), blend, eye);
    }
    drawList.sort();
}

void Scene::describeRadar(float blend) {
    const Match& match = client.shownMatch();
    radar.clear();
    radar.up = glm::normalize(overhead(client.targetAt(blend) - client.eyeAt(blend)));
    for (const Bullet& bullet : match.state.bullets.bullets) {
        if (!bullet.dead) {
            radar.addBullet(overhead(bullet.positionAt(blend)));
        }
    }
    // The player's own tank last, over the others.
    const int own = client.localSeat();
    for (int turn = 1; turn <= match.seatCount(); ++turn) {
        const int seat = (own + turn) % match.seatCount();
        if (match.tank(seat).inPlay()) {
            radar.addTank(
                radarTank(match.tank(seat).poseAt(blend),
                          seat_colours::colour(seat_colours::of(match.state, seat, own)).mark));
        }
    }
}

namespace {
// Window pixels of a world point seen through viewProjection; false behind the eye.
bool project(const glm::mat4& viewProjection, glm::vec3 point, glm::ivec2 window,
             glm::vec2& pixel) {
    const glm::vec4 clip = viewProjection * glm::vec4(point, 1.0f);
    if (clip.w <= 0.0f) {
        return false;
    }
    pixel = (glm::vec2(clip) / clip.w + 1.0f) * 0.5f * glm::vec2(window);
    return true;
}

// The same, and false outside the window too.
bool onScreen(const glm::mat4& viewProjection, glm::vec3 point, glm::ivec2 window,
              glm::vec2& pixel) {
    return project(viewProjection, point, window, pixel) && pixel.x >= 0.0f && pixel.y >= 0.0f &&
           pixel.x <= static_cast<float>(window.x) && pixel.y <= static_cast<float>(window.y);
}
} // namespace

void Scene::describeAim(float blend, const glm::mat4& viewProjection, glm::ivec2 window) {
    aimMarks = AimMarks();
    if (!client.matchRunning()) {
        return;
    }
    const Match& match = client.shownMatch();
    const TankPose pose = match.tank(client.localSeat()).poseAt(blend);
    aimMarks.crosshair = onScreen(viewProjection, shotEnd(match, client.localSeat(), pose), window,
                                  aimMarks.crosshairAt);
    const glm::vec3 forward = headingDirection(pose.heading);
    const glm::vec3 mark =
        pose.position + forward * kHullMarkAhead + glm::vec3(0.0f, kHullMarkHeight, 0.0f);
    glm::vec2 beyond(0.0f);
    aimMarks.hull = onScreen(viewProjection, mark, window, aimMarks.hullAt) &&
                    project(viewProjection, mark + forward, window, beyond) &&
                    glm::length(beyond - aimMarks.hullAt) > 1.0f;
    if (aimMarks.hull) {
        aimMarks.hullFacing = glm::normalize(beyond - aimMarks.hullAt);
    }
}

float Scene::darken() const {
    if (!client.matchRunning()) {
        return kDimmed;
    }
    return options.showHelp ? kHelpDimmed : kUndimmed;
}

FrameContent Scene::describeFrame(const FrameTiming& timing, glm::ivec2 size, bool radarShown) {
    describeWorld(timing.blend);
    TextOptions textOptions;
    textOptions.frameRate = options.showFrameRate;
    textOptions.framesPerSecond = timing.framesPerSecond;
    textOptions.frameMilliseconds = timing.frameMilliseconds;
    textOptions.help = options.showHelp;
    textOptions.padControls = window.input().padConnected();
    textOptions.window = size;
    const float aspect = static_cast<float>(size.x) / static_cast<float>(size.y);
    const glm::mat4 view = client.view(timing.blend);
    const glm::mat4 projection = client.projection(aspect);
    describeAim(timing.blend, projection * view, size);
    textOptions.radar = radarShown;
    textOptions.camera = true;
    textOptions.viewProjection = projection * view;
    textOptions.eye = client.eyeAt(timing.blend);
    texts.build(client, textOptions);
    return {drawList,
            view,
            projection,
            darken(),
            options.wireframe,
            timing.seconds,
            texts,
            sceneBounds,
            radarShown ? &radar : nullptr,
            &aimMarks};
}

void Scene::render(const FrameTiming& timing) {
    window.capturePointer(client.wantsPointer());
    const glm::ivec2 size = window.framebufferSize();
    renderer.setView(size, quality);
    sound.follow(client, timing.blend);
    if (!renderer.drawable()) {
        // Minimised: nothing to draw; wait for the window instead of spinning.
        window.waitEvents(kMinimisedWaitSeconds);
        return;
    }
    if (options.applyTextureOptions(renderer.textures.textures)) {
        renderer.backgroundChanged();
    }
    if (rehearsal != kRehearsed) {
        // Behind the loading screen, one part of a frame with everything it can show.
        describeRadar(timing.blend);
        rehearsal = renderer.rehearse(describeFrame(timing, size, true), rehearsal) ? rehearsal + 1
                                                                                    : kRehearsed;
        loading.draw(renderer.text);
        present();
        return;
    }
    const bool radarShown = options.showRadar && client.matchRunning();
    if (radarShown) {
        describeRadar(timing.blend);
    }
    renderer.render(describeFrame(timing, size, radarShown), frameObserver);
    present();
}

void Scene::present() {
    if (frameObserver != nullptr) {
        frameObserver->phaseBegins(FramePhase::Present);
    }
    window.swapBuffers();
    if (frameObserver != nullptr) {
        frameObserver->frameEnds();
    }
    checkGlError("Scene::render() END");
}
