#include "app/CommandLine.h"

#include "net/Protocol.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <iostream>

namespace {
constexpr int kExitBadCommandLine = 2;

std::string passwordFromEnvironment() {
    const char* password = std::getenv("BRAKKEL_PASSWORD");
    return password != nullptr ? password : "";
}

// Parses argv into app; the status to exit with when the program is not to run.
std::optional<int> parse(CLI::App& app, const char* name, int argc, char** argv) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        std::cerr << name << ": " << error.what() << " (see " << name << " --help)" << std::endl;
        return kExitBadCommandLine;
    }
    return std::nullopt;
}

CLI::Option* addPort(CLI::App& app, std::uint16_t& port) {
    port = protocol::kDefaultPort;
    return app
        .add_option("--port", port,
                    "serve on UDP port N (default " + std::to_string(protocol::kDefaultPort) +
                        "; 0 takes a free one)")
        ->type_name("N");
}

CLI::Option* addPlayersPerAddress(CLI::App& app, std::size_t& players) {
    return app
        .add_option("--players-per-address", players,
                    "players that may join at once from one address (default " +
                        std::to_string(ServerOptions().playersPerAddress) + ")")
        ->type_name("N")
        ->check(CLI::Range(1, 64));
}

CLI::Option* addSpectators(CLI::App& app, std::size_t& spectators) {
    constexpr int kMostSpectators = 16;
    return app
        .add_option("--spectators", spectators,
                    "clients that may watch at once when every seat is held by a person "
                    "(default " +
                        std::to_string(ServerOptions().spectators) + ")")
        ->type_name("N")
        ->check(CLI::Range(0, kMostSpectators));
}

CLI::Option* addRules(CLI::App& app, Rules& rules) {
    return app
        .add_option_function<std::string>(
            "--rules",
            [&rules](const std::string& name) {
                rules = name == "classic" ? Rules::Classic : Rules::Duel;
            },
            "the rules of the matches served: duel (reload, grace; the default) or classic")
        ->type_name("RULES")
        ->transform(CLI::IsMember({"classic", "duel"}, CLI::ignore_case));
}

CLI::Option* addSkill(CLI::App& app, Skill& skill) {
    return app
        .add_option_function<std::string>(
            "--skill", [&skill](const std::string& name) { parseSkill(name, skill); },
            "the computer in every seat no person holds: classic (a duel's default), rookie, "
            "veteran (a battle's default) or ace")
        ->type_name("SKILL")
        ->transform(CLI::IsMember({"classic", "rookie", "veteran", "ace"}, CLI::ignore_case));
}

// --mode, --tanks, --teams, --frag-limit and --time-limit, each needing needs when it is given.
void addBattle(CLI::App& app, ServerOptions& options, CLI::Option* needs) {
    const auto require = [needs](CLI::Option* option) {
        return needs != nullptr ? option->needs(needs) : option;
    };
    require(app.add_option_function<std::string>(
                   "--mode",
                   [&options](const std::string& name) {
                       options.mode = name == "battle" ? Mode::Battle : Mode::Duel;
                   },
                   "duel (two tanks, lives; the default) or battle (frags, respawns)")
                ->type_name("MODE")
                ->transform(CLI::IsMember({"duel", "battle"}, CLI::ignore_case)));
    require(app.add_option("--tanks", options.tanks, "a battle's tanks, people and computer (2-8)")
                ->type_name("N")
                ->check(CLI::Range(MatchSetup::kMinSeats, MatchSetup::kMaxSeats)));
    require(app.add_flag("--teams", options.teams, "a battle of two teams"));
    require(app.add_option("--frag-limit", options.fragLimit, "a battle ends at F frags (10)")
                ->type_name("F")
                ->check(CLI::Range(MatchSetup::kMinFragLimit, MatchSetup::kMaxFragLimit)));
    require(app.add_option("--time-limit", options.timeLimitSeconds,
                           "a battle ends after S seconds (300)")
                ->type_name("S")
                ->check(CLI::Range(MatchSetup::kMinTimeLimitSeconds,
                                   MatchSetup::kMaxTimeLimitSeconds)));
}

// --name and --no-discovery: how those looking for games on the local network see the server.
void addDiscovery(CLI::App& app, ServerOptions& options, CLI::Option* needs) {
    CLI::Option* name =
        app.add_option("--name", options.name,
                       "the server's name for those looking for games (default: the host's name)")
            ->type_name("NAME");
    CLI::Option* quiet = app.add_flag_function(
        "--no-discovery", [&options](std::int64_t) { options.discovery = false; },
        "answer no one looking for games on the local network");
    if (needs != nullptr) {
        name->needs(needs);
        quiet->needs(needs);
    }
}

// A battle's computer is a Veteran unless --skill says otherwise.
void battleSkill(const CLI::App& app, ServerOptions& options) {
    if (options.mode == Mode::Battle && app.count("--skill") == 0) {
        options.skill = Skill::Veteran;
    }
}

// HOST or HOST:PORT, the port from 1 to 65535.
std::string checkAddress(const std::string& text, std::string& host, std::uint16_t& port) {
    const std::size_t colon = text.rfind(':');
    host = text.substr(0, colon);
    port = protocol::kDefaultPort;
    if (host.empty()) {
        return "HOST[:PORT] needs a host";
    }
    if (colon == std::string::npos) {
        return "";
    }
    const std::string digits = text.substr(colon + 1);
    if (digits.empty() || digits.size() > 5 ||
        digits.find_first_not_of("0123456789") != std::string::npos || std::stoul(digits) < 1 ||
        std::stoul(digits) > 65535) {
        return "the port in HOST:PORT must be a number from 1 to 65535";
    }
    port = static_cast<std::uint16_t>(std::stoul(digits));
    return "";
}
} // namespace

std::optional<LaunchOptions> parseCommandLine(int argc, char** argv, int& exitStatus) {
    LaunchOptions options;
    std::string address;
    CLI::App app("Brakkel: one player against one computer tank in a walled arena, or two players "
                 "over the network. A networked game's password is taken from BRAKKEL_PASSWORD.",
                 "brakkel");
    CLI::Option* record =
        app.add_option("--record", options.recordPath, "play as usual and record the game to FILE")
            ->type_name("FILE");
    CLI::Option* replay =
        app.add_option("--replay", options.replayPath, "play the recording in FILE, then quit")
            ->type_name("FILE")
            ->excludes(record);
    CLI::Option* host =
        app.add_flag("--host", options.host, "serve a networked game and play in it")
            ->excludes(record)
            ->excludes(replay);
    CLI::Option* arena =
        app.add_option("--arena", options.arenaPath,
                       "play (or host) on the arena in FILE, or the arena file named NAME in the "
                       "arena folders (the built-in one when it cannot be read)")
            ->type_name("NAME|FILE");
    addPort(app, options.served.port)->needs(host);
    addRules(app, options.served.rules)->needs(host);
    addPlayersPerAddress(app, options.served.playersPerAddress)->needs(host);
    addSpectators(app, options.served.spectators)->needs(host);
    addSkill(app, options.served.skill)->needs(host);
    addBattle(app, options.served, host);
    addDiscovery(app, options.served, host);
    CLI::Option* join =
        app.add_option("--join", address,
                       "play on the server at HOST, port PORT (default " +
                           std::to_string(protocol::kDefaultPort) +
                           "); without HOST, list the games on the local network and quit")
            ->type_name("[HOST[:PORT]]")
            ->expected(0, 1)
            ->excludes(host)
            ->excludes(record)
            ->excludes(replay)
            ->excludes(arena)
            ->check([&options](const std::string& text) {
                return checkAddress(text, options.joinHost, options.joinPort);
            });
    app.add_flag("--watch", options.watch, "watch the game joined without taking a seat")
        ->needs(join);
    if (const std::optional<int> status = parse(app, "brakkel", argc, argv)) {
        exitStatus = *status;
        return std::nullopt;
    }
    battleSkill(app, options.served);
    options.findGames = app.count("--join") > 0 && options.joinHost.empty();
    options.served.password = passwordFromEnvironment();
    return options;
}

std::optional<ServerOptions> parseServerCommandLine(int argc, char** argv, int& exitStatus,
                                                    std::string& arena) {
    ServerOptions options;
    CLI::App app("Brakkel's dedicated server: duels between two players, or battles of up to "
                 "eight tanks, over the network, one match after another, the computer playing "
                 "any empty seat. The password is taken from BRAKKEL_PASSWORD. Stops on SIGINT or "
                 "SIGTERM.",
                 "brakkel-server");
    addPort(app, options.port);
    addRules(app, options.rules);
    addPlayersPerAddress(app, options.playersPerAddress);
    addSpectators(app, options.spectators);
    addSkill(app, options.skill);
    addBattle(app, options, nullptr);
    addDiscovery(app, options, nullptr);
    app.add_option("--arena", arena,
                   "play on the arena in FILE, or the arena file named NAME in the arena folders, "
                   "and send it to every player (the built-in one when it cannot be read)")
        ->type_name("NAME|FILE");
    if (const std::optional<int> status = parse(app, "brakkel-server", argc, argv)) {
        exitStatus = *status;
        return std::nullopt;
    }
    battleSkill(app, options);
    options.password = passwordFromEnvironment();
    return options;
}
