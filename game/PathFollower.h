#pragma once

#include "game/MatchSetup.h"
#include "game/NavGraph.h"
#include "game/NavPath.h"
#include "game/TankCommand.h"

#include <glm/glm.hpp>

#include <array>
#include <cstdint>

struct ControllerView;

// The other tanks a controller knows to stand near it now, to steer round.
struct Obstacles {
    std::array<glm::vec3, MatchSetup::kMaxSeats> places{};
    int count = 0;
};

// Where a jump along a way stands: driving to a place behind the run-up's start, to the run-up's
// start, turning to face the jump, running at it, in the air.
enum class JumpStage : std::uint8_t { None, LeadIn, ToRunUp, Facing, Running, Flying };

// A skilled controller's hands on the hull: it plans a way over the navigation graph and drives
// it, within a person's powers. It steers at a point a little ahead on the way (turning and
// driving so that the hull's next tick meets no piece when it can), passes a tank it
// knows to stand in the way, cuts a corner whenever the place after next is in a clear straight
// line, slows for sharp bends and for the end, takes a jump's edge by a straight run-up and the
// jump at its point, and backs off and gives the way up when it has not moved for a while though it
// wanted to. A plain value, in the match's state.
class PathFollower {
public:
    // A way from where the tank stands to the place goal; false, with no way, when there is none.
    bool plan(const ControllerView& view, int goal);
    void stop();
    // Sets the drive, turn and jump that follow the way this tick.
    void steer(const ControllerView& view, const Obstacles& near, TankCommand& command);
    bool arrived() const { return path.empty() || cursor >= path.count; }
    // Whether it wants the tank to move: a way to go, or backing off.
    bool moving() const { return !holding && (!arrived() || backingOff); }

    NavPath path;
    std::int32_t cursor = 0; // the place on the way driven to
    std::int32_t goal = NavGraph::kNoNode;
    JumpStage stage = JumpStage::None;
    std::uint32_t stageTick = 0; // the tick the jump's stage began
    glm::vec3 towards{0.0f};     // the point steered at in the latest tick
    glm::vec3 watchSpot{0.0f};
    std::uint32_t watchTick = 0;   // since when the tank has stayed near watchSpot
    std::uint32_t backOffTick = 0; // the tick the last back-off began
    std::int32_t backOffs = 0;
    float backOffHeading = 0.0f; // the way out, degrees
    bool backOffForward = false; // driven forward, or back
    bool backingOff = false;
    bool holding = false;       // waiting for a tank that holds it to go
    std::uint32_t holdTick = 0; // since when

private:
    // The drive and turn that take the tank towards point at about wantedSpeed (forward, in the
    // tank's units of speed).
    static void driveTowards(const ControllerView& view, glm::vec3 point, float wantedSpeed,
                             TankCommand& command);
    void steerWay(const ControllerView& view, const Obstacles& near, TankCommand& command);
    // Whether the hull, one tick on with that drive and turn, touches no piece.
    bool clearAfter(const ControllerView& view, std::int16_t drive, std::int16_t turn) const;
    // Changes a command whose next tick would run the hull into a piece for the nearest that
    // does not, when there is one.
    void keepClear(const ControllerView& view, TankCommand& command) const;
    bool jump(const ControllerView& view, const NavEdge& edge, TankCommand& command);
    // point, moved aside to pass the nearest of the tanks near that stands in the way to it.
    static glm::vec3 passing(const ControllerView& view, glm::vec3 point, const Obstacles& near);
    // Starts a back-off when the tank has stayed near one spot for a while though it wanted
    // to move; true when it did.
    bool watchForStuck(const ControllerView& view, const Obstacles& near);
    float floorOf(const ControllerView& view) const;
};
