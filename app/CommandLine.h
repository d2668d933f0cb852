#pragma once

#include "net/Server.h"

#include <cstdint>
#include <optional>
#include <string>

// What the game was started with. Without options it plays as it always has.
struct LaunchOptions {
    std::string recordPath; // --record FILE: play and record to FILE
    std::string replayPath; // --replay FILE: play the recording in FILE, then quit
    // --arena NAME|FILE: play (record, replay or host) on the arena in FILE, or the arena file
    // of that name in the arena folders (ArenaFolders)
    std::string arenaPath;
    bool host = false; // --host: serve a networked game and play in it
    // --port N, --rules, --skill, --players-per-address, --spectators, --mode, --tanks, --teams,
    // --frag-limit, --time-limit, --name, --no-discovery; BRAKKEL_PASSWORD
    ServerOptions served;
    std::string joinHost; // --join HOST[:PORT]: play on that server
    std::uint16_t joinPort = 0;
    bool findGames = false; // --join alone: list the games on the local network and quit
    bool watch = false;     // --watch: watch the game joined, never take a seat
};

// Read the command line, and the password of a networked game from the environment (never from
// the command line, which every user can read). Each returns the options, or the status to exit
// with at once: 0 after printing the help (--help), 2 after one line on standard error for a bad
// command line.
std::optional<LaunchOptions> parseCommandLine(int argc, char** argv, int& exitStatus);
// The server's --arena NAME|FILE goes to arena, "" without it.
std::optional<ServerOptions> parseServerCommandLine(int argc, char** argv, int& exitStatus,
                                                    std::string& arena);
