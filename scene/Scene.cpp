#include "scene/Scene.h"

#include "game/Angles.h"
#include "game/PlayerControls.h"
#include "platform/GlCheck.h"

#include <cmath>
#include <iostream>

namespace {

constexpr std::size_t kEventsPerStep = 64; // far more than a step makes; no step allocates
constexpr std::size_t kWorldDraws = 64;    // pieces and bullets
constexpr std::size_t kTankDraws = 4;      // hull and turret of two tanks
constexpr float kDimmed = 0.3f;            // brightness behind the title and end screens
constexpr float kUndimmed = 1.0f;
const glm::vec3 kUp(0.0f, 1.0f, 0.0f);

// Towards the sun, normalize(2, 3, 1), worked out in single precision.
glm::vec3 sunDirection() {
    const float f = 1.0f / std::sqrt(14.0f);
    return glm::vec3(2.0f * f, 3.0f * f, f);
}

TankPose blendPose(const TankPose& from, const TankPose& to, float blend) {
    return {glm::mix(from.position, to.position, blend),
            from.heading + headingDifference(from.heading, to.heading) * blend,
            from.turretHeading + headingDifference(from.turretHeading, to.turretHeading) * blend};
}

void addTank(std::vector<MeshDraw>& draws, const Tank& tank, const SceneAssets& assets,
             const Material& material, float alpha, float blend) {
    const TankPose pose = blendPose(tank.previousPose, tank.pose(), blend);
    const glm::mat4 place = glm::translate(glm::mat4(1.0f), pose.position);
    draws.push_back({&assets.hull, rotateDegrees(place, pose.heading, kUp), &material, alpha});
    draws.push_back(
        {&assets.turret, rotateDegrees(place, pose.turretHeading, kUp), &material, alpha});
}

} // namespace

Scene::Scene(Window& window, unsigned int aiSeed, unsigned int particleSeed)
    : window(window), flow(assets.bounds(), aiSeed),
      renderer(sunDirection(), assets.backgroundPicture(), particleSeed) {
    window.setKeyListener(&options);
    events.reserve(kEventsPerStep);
    drawList.world.reserve(kWorldDraws);
    drawList.tanks.reserve(kTankDraws);
}

Scene::~Scene() {
    window.setKeyListener(nullptr);
}

void Scene::update(float stepSeconds) {
    const PlayerInput input = readPlayerInput(window.input());
    events.clear();
    flow.update(input, stepSeconds, events);
    handleEvents();
}

void Scene::handleEvents() {
    for (const GameEvent& event : events) {
        switch (event.type) {
        case GameEventType::Log:
            std::cout << event.text << std::endl;
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
    const Match& match = flow.match;
    for (const ArenaPiece& piece : match.arena.pieces) {
        if (piece.visible) {
            drawList.world.push_back(
                {&assets.pieceModel(piece.kind), piece.modelMatrix, &assets.pieceMaterial, 1.0f});
        }
    }
    for (const Bullet& bullet : match.bullets.bullets) {
        if (!bullet.dead) {
            const glm::vec3 at = glm::mix(bullet.previousPosition, bullet.position, blend);
            const glm::mat4 place = glm::translate(glm::mat4(1.0f), at);
            drawList.world.push_back({&assets.bullet,
                                      rotateDegrees(place, bullet.drawHeading(), kUp),
                                      &assets.bulletMaterial, 1.0f});
        }
    }
    addTank(drawList.tanks, match.aiTank, assets, assets.computerTankMaterial, 1.0f, blend);
    addTank(drawList.tanks, match.playerTank, assets, assets.playerTankMaterial,
            match.camera.playerOpacity(), blend);
}

float Scene::darken() const {
    return flow.matchRunning() ? kUndimmed : kDimmed;
}

void Scene::render(const FrameTiming& timing) {
    options.applyTextureOptions(assets.sceneTextures);
    describeWorld(timing.blend);
    texts.build(flow, options.showFrameRate, timing.framesPerSecond, timing.frameMilliseconds);
    const ChaseCamera& camera = flow.match.camera;
    const FrameContent frame{drawList, camera.view(timing.blend), camera.projection(),
                             darken(), options.wireframe,         timing.seconds,
                             texts};
    renderer.render(frame, frameObserver);
    if (frameObserver != nullptr) {
        frameObserver->phaseBegins(FramePhase::Present);
    }
    window.swapBuffers();
    if (frameObserver != nullptr) {
        frameObserver->frameEnds();
    }
    checkGlError("Scene::render() END");
}
