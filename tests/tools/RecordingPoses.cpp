// Prints the player's tank tick by tick as a recording of the game plays it back, for the
// end-to-end tests to read what the real game did with their input: one line per tick,
// "TICK RUNNING HULL TURRET X Z", the headings in degrees, RUNNING 1 while a match runs.
#include "client/GameClient.h"
#include "client/Recording.h"

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s RECORDING.bkrc\n", argv[0]);
        return 2;
    }
    Recording recording;
    std::string error;
    if (!readRecording(argv[1], recording, error)) {
        std::cerr << error << std::endl;
        return 1;
    }
    GameClient client(0u, &recording, nullptr);
    InputState none;
    for (std::size_t tick = 0; tick < recording.ticks.size(); ++tick) {
        client.tick(none);
        const Tank& tank = client.flow->match.tank(GameClient::kPlayerSeat);
        std::printf("%zu %d %.5f %.5f %.5f %.5f\n", tick, client.flow->playing() ? 1 : 0,
                    tank.heading, tank.turretHeading, tank.position.x, tank.position.z);
    }
    return client.exitStatus();
}
