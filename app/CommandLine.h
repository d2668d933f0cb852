#pragma once

#include "game/MatchState.h"

#include <cstdint>
#include <optional>
#include <string>

// What the game was started with. Without options it plays as it always has.
struct LaunchOptions {
    std::string recordPath; // --record FILE: play and record to FILE
    std::string replayPath; // --replay FILE: play the recording in FILE, then quit
    bool host = false;      // --host: serve a networked game and play in it
    std::uint16_t port = 0; // --port N: the UDP port to serve on (0: any free one)
    std::string joinHost;   // --join HOST[:PORT]: play on that server
    std::uint16_t joinPort = 0;
    Rules rules = Rules::Duel; // --rules: of the networked game served
};

// What the dedicated server was started with.
struct ServerLaunchOptions {
    std::uint16_t port = 0;
    Rules rules = Rules::Duel;
};

// Read the command line. Each returns the options, or the status to exit with at once: 0 after
// printing the help (--help), 2 after one line on standard error for a bad command line.
std::optional<LaunchOptions> parseCommandLine(int argc, char** argv, int& exitStatus);
std::optional<ServerLaunchOptions> parseServerCommandLine(int argc, char** argv, int& exitStatus);
