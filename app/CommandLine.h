#pragma once

#include <optional>
#include <string>

// What the game was started with. Without options it plays as it always has.
struct LaunchOptions {
    std::string recordPath; // --record FILE: play and record to FILE
    std::string replayPath; // --replay FILE: play the recording in FILE, then quit
};

// Reads the command line. Returns the options, or the status to exit with at once: 0 after
// printing the help (--help), 2 after one line on standard error for a bad command line.
std::optional<LaunchOptions> parseCommandLine(int argc, char** argv, int& exitStatus);
