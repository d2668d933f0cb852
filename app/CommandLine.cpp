#include "app/CommandLine.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace {
constexpr int kExitBadCommandLine = 2;
} // namespace

std::optional<LaunchOptions> parseCommandLine(int argc, char** argv, int& exitStatus) {
    LaunchOptions options;
    CLI::App app("Brakkel: one player against one computer tank in a walled arena.", "brakkel");
    CLI::Option* record =
        app.add_option("--record", options.recordPath, "play as usual and record the game to FILE")
            ->type_name("FILE");
    app.add_option("--replay", options.replayPath, "play the recording in FILE, then quit")
        ->type_name("FILE")
        ->excludes(record);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        exitStatus = app.exit(help);
        return std::nullopt;
    } catch (const CLI::ParseError& error) {
        std::cerr << "brakkel: " << error.what() << " (see brakkel --help)" << std::endl;
        exitStatus = kExitBadCommandLine;
        return std::nullopt;
    }
    return options;
}
