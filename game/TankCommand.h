#pragma once

#include <cstdint>

// What the driver of one tank asks of one tick, whether a player or the computer: the engine,
// the hull's turn, where the turret is to point, a jump and the trigger. Every value is a whole
// number in fixed units, so that a command stored in a recording or sent over the network
// gives the same tick bit for bit. The rules limit what each kind of driver may ask (see
// Match::limited).
struct TankCommand {
    // Engine, in thousandths of a unit of speed per tick, forward positive: the keys' full
    // request is kFullDrive; the computer backs off a stuck tank at −215.
    std::int16_t drive = 0;
    // Turn of hull and turret together, in hundredths of a degree per second,
    // counter-clockwise seen from above positive.
    std::int16_t turn = 0;
    // The heading the turret is to point at, in 1/2^32 of a full turn from heading 0: finer
    // than a float heading, so the computer's aim is kept as it worked it out.
    std::uint32_t aim = 0;
    bool jump = false;
    bool fire = false; // the trigger is pulled; one shot per pull

    static constexpr std::int16_t kFullDrive = 200;
    static constexpr float kDriveUnit = 1000.0f;      // drive steps per unit of speed
    static constexpr float kTurnUnit = 100.0f;        // turn steps per degree per second
    static constexpr double kAimSteps = 4294967296.0; // aim steps per full turn

    // The change of the tank's speed this tick (negative speed drives forward).
    float speedChange() const { return -static_cast<float>(drive) / kDriveUnit; }
    float turnDegreesPerSecond() const { return static_cast<float>(turn) / kTurnUnit; }
    // The aim as a heading from 0 to 360 degrees.
    float aimDegrees() const;
    // The nearest aim to a heading in degrees, whatever its turn (−90 and 270 are alike).
    static std::uint32_t aimOf(float degrees);

    bool operator==(const TankCommand& other) const {
        return drive == other.drive && turn == other.turn && aim == other.aim &&
               jump == other.jump && fire == other.fire;
    }
    bool operator!=(const TankCommand& other) const { return !(*this == other); }
};
