#include "client/GameClient.h"

#include "game/ByteReader.h"
#include "game/StateCodec.h"

#include <cinttypes>
#include <cstdio>
#include <iostream>

namespace {
constexpr std::size_t kEventsPerTick = 64; // far more than a tick makes; no tick allocates

// The setup a game's match was made with.
MatchSetup shapeOf(const MatchFlow& flow) {
    const MatchState& state = flow.match.state;
    // The computer's skill is the same in every seat but the player's.
    const Skill skill = flow.match.seat(GameClient::kPlayerSeat + 1).skill;
    if (state.mode == Mode::Duel) {
        return MatchSetup::duel(state.rules, skill);
    }
    return MatchSetup::battle(state.seatCount(), state.teams, state.fragLimit,
                              static_cast<int>(state.timeLimitTicks / Match::kTicksPerSecond),
                              skill);
}

constexpr float kTiltDegreesPerSecond = 60.0f; // camera pitch, the pad's stick pushed fully
// Mouse aim: the camera's turn for each pixel the captured pointer moves, times the sensitivity.
constexpr float kLookDegreesPerPixel = 0.15f;
// The title's backdrop plays with a seed of its own, apart from the player's match.
constexpr std::uint64_t kAttractSalt = 0x5EEDBACC0FFEEULL;
} // namespace

GameClient::GameClient(std::uint64_t seed, const Recording* replay, RecordingWriter* recorder,
                       const Settings& chosen, const Arena& arena)
    : arena(arena), attract(seed ^ kAttractSalt, arena), settings(chosen), seed(seed),
      arenaHash(arena.hash()), replay(replay), recorder(recorder) {
    events.reserve(kEventsPerTick);
    if (recorder != nullptr) {
        recorder->setArena(arena.hash());
    }
    applySettings();
    restoreReplayStart();
}

void GameClient::restoreReplayStart() {
    if (replay != nullptr) {
        // Read and checked whole when the recording was read.
        ByteReader start(replay->startState.data(), replay->startState.size());
        MatchState state = flow->match.state;
        state_codec::read(start, state);
        flow->match.restore(state);
    }
}

void GameClient::applySettings() {
    camera.sensitivity = static_cast<float>(settings.mouseSensitivity) / 100.0f;
    camera.invertPitch = settings.invertPitch;
    // A replay aims as it was recorded; its camera follows the turret.
    const bool freeLook = settings.aim == AimScheme::Mouse && replay == nullptr;
    if (freeLook && !camera.freeLook) {
        following = false; // looks where the turret points before it turns anywhere
    }
    camera.freeLook = freeLook;
    if (flow && (flow->phase() != Phase::Title || replay != nullptr)) {
        return;
    }
    // The coming match as the options set it up: made anew when its setup changed.
    const MatchSetup setup = settings.matchSetup();
    if (!flow || setup != shapeOf(*flow)) {
        flow = std::make_unique<MatchFlow>(setup, seed, arena);
    }
    flow->seatPerson(kPlayerSeat, settings.name.c_str());
}

void GameClient::setArena(const Arena& chosen) {
    arena = chosen;
    arenaHash = arena.hash();
    attract.setArena(arena);
    if (recorder != nullptr) {
        recorder->setArena(arenaHash);
    }
    if (replay == nullptr && !flow->playing()) {
        flow.reset();
        applySettings();
        camera.settle();
        following = false;
    }
}

bool GameClient::takeSettingsChange() {
    const bool changed = settingsChanged;
    settingsChanged = false;
    return changed;
}

void GameClient::setFullscreen(bool fullscreen) {
    if (settings.fullscreen != fullscreen) {
        settings.fullscreen = fullscreen;
        settingsChanged = true;
    }
}

void GameClient::tick(InputState& input) {
    constexpr float dt = Match::kTickSeconds;
    PlayerInput player = controls.read(input, dt);
    quit = quit || player.quit;
    showScores = player.scoreboard;
    events.clear();
    feed.advance(dt);
    RecordedTick taken{{player.start, player.endMatch}, TankCommand()};
    if (findGames(player)) {
        attract.step(events);
        return;
    }
    // The options screen takes the player's input while it is open; ESC leaves it, or the game.
    const bool opens =
        !menu.open && player.options && !matchRunning() && !joinFailed() && replay == nullptr;
    if (menu.open || opens) {
        // What came with the press that opened it is the screen's too: the O itself is not a
        // leave, an ESC after it is.
        MenuInput asked = player.menu;
        if (opens) {
            menu.open = true;
            asked.leave = player.escape;
        }
        if (menu.step(asked, settings)) {
            settingsChanged = true;
            applySettings();
        }
        taken.keys = ScreenKeys();
    } else if (player.escape) {
        quit = true;
    }
    if (joinFailed()) {
        // ENTER plays on alone: the title, and a match against the computer after it.
        if (player.start) {
            joinFailure[0] = '\0';
        }
        attract.step(events);
        return;
    }
    if (network) {
        networkTick(player);
        return;
    }
    if (replay != nullptr) {
        if (ticks == replay->ticks.size()) {
            if (!replayEnded) {
                replayEnded = true;
                printStateHash();
                if (replay->end.hash != state_codec::hash(flow->match.state)) {
                    diverged(replay->end.matchTick);
                }
            }
            quit = true;
            return;
        }
        taken = replay->ticks[ticks];
    }

    if (showingTitle() && !taken.keys.start) {
        attract.step(events);
    }
    if (showingTitle() && taken.keys.start) {
        // The player's match starts from here: as the options left it, as the recording has it.
        restoreReplayStart();
        if (recorder != nullptr) {
            recorder->begin(flow->match.state);
        }
    }
    if (taken.keys.start) {
        flow->ready(kPlayerSeat);
    }
    flow->beginTick(events);
    if (taken.keys.endMatch) {
        flow->endMatch();
    }
    // Made from the tank as the keys left it: a restart has put it back at its start.
    if (replay == nullptr) {
        const Tank& tank = flow->match.tank(kPlayerSeat);
        if (flow->playing()) {
            aim(player, tank);
        }
        taken.command = PlayerControls::command(player, tank, dt);
    }
    SeatCommands commands{};
    commands[kPlayerSeat] = taken.command;
    const std::size_t first = events.size();
    flow->step(commands, events);
    reportOutcome(first);
    ++ticks;
    if (recorder != nullptr) {
        recorder->tick(taken, flow->match.state);
    }
    if (replay != nullptr && nextHash < replay->hashes.size() &&
        replay->hashes[nextHash].ticks == ticks) {
        const RecordedHash& mark = replay->hashes[nextHash++];
        if (mark.hash != state_codec::hash(flow->match.state)) {
            diverged(mark.matchTick);
        }
    }

    follow(player);
}

void GameClient::reportOutcome(std::size_t first) {
    for (std::size_t i = first; i < events.size(); ++i) {
        if (events[i].type == GameEventType::MatchOver) {
            const Outcome outcome = flow->lastOutcome();
            MatchFlow::battleResult(flow->match, outcome, flow->names(), result);
            events.push_back(
                {playerWon(outcome) ? GameEventType::MatchWon : GameEventType::MatchLost,
                 glm::vec3(0.0f), kNoSeat, ""});
            return;
        }
    }
}

bool GameClient::playerWon(const Outcome& outcome) const {
    if (watching()) {
        return false; // the tank followed is someone else's
    }
    return shownMatch().wonBy(outcome, localSeat());
}

const char* GameClient::seatName(int seat) const {
    return network ? network->seatName(seat) : flow->name(seat);
}

int GameClient::seatRoundTripMs(int seat) const {
    return network ? network->seatRoundTripMs(seat) : -1;
}

void GameClient::aim(PlayerInput& player, const Tank& tank) {
    if (!camera.freeLook) {
        return;
    }
    if (!following) {
        camera.lookAlong(tank);
    }
    if (!menu.open) {
        const float perPixel = kLookDegreesPerPixel * camera.sensitivity;
        camera.turn(PlayerControls::kTurnDegreesPerSecond * Match::kTickSeconds * player.turret -
                    perPixel * player.look.x);
        camera.tilt((camera.invertPitch ? -1.0f : 1.0f) * perPixel * player.look.y);
    }
    player.aimAtHeading = true;
    player.aimHeading = camera.lookHeading;
}

void GameClient::follow(const PlayerInput& player) {
    if (shownMatch().state.mode == Mode::Battle) {
        ranking.rank(shownMatch().state, *this, localSeat());
    }
    if (shownArenaHash() != cameraArena) {
        cameraArena = shownArenaHash();
        camera.forgetArena();
    }
    if (!matchRunning()) {
        camera.settle();
        following = false;
        return;
    }
    const Match& match = shownMatch();
    camera.beginStep();
    camera.zoom(player.wheel);
    // With mouse aim the pointer turns the camera already; a drag adds nothing.
    camera.orbit(player.orbit && !camera.freeLook, player.cursor);
    camera.tilt((settings.invertPitch ? -1.0f : 1.0f) * kTiltDegreesPerSecond *
                Match::kTickSeconds * player.cameraTilt);
    if (watching()) {
        camera.lookAlong(match.tank(localSeat())); // nobody here aims
    }
    camera.place(match, localSeat());
    following = true;
}

bool GameClient::findGames(const PlayerInput& player) {
    if (!games.shown()) {
        if (!player.findGames || menu.open || network || joinFailed() || !showingTitle() ||
            replay != nullptr || recorder != nullptr) {
            return false;
        }
        games.open();
        return true;
    }
    const LanFinder::Found* chosen = games.step(player.menu, player.findGames || player.escape);
    if (chosen != nullptr) {
        char host[16];
        chosen->host(host, sizeof host);
        NetworkOptions joining;
        joining.host = host;
        joining.port = chosen->port;
        joining.password = password;
        joining.name = settings.name;
        join(joining, std::cout);
    }
    return true;
}

void GameClient::join(const NetworkOptions& options, std::ostream& console, std::ostream& errors) {
    networkConsole = std::make_unique<FeedStream>(console, feed);
    networkErrors = std::make_unique<FeedStream>(errors, feed);
    network = std::make_unique<NetworkGame>(options, *networkConsole, *networkErrors);
    notice = "";
    joinFailure[0] = '\0'; // a new try: the last one's failure is not this one's
    everJoined = false;
    describeSeats();
}

void GameClient::networkTick(PlayerInput& player) {
    if (network->drives()) {
        aim(player, network->predictedTank());
    }
    network->tick(player, menu.open, events);
    everJoined = everJoined || network->joined();
    const protocol::Status& status = network->status();
    if (status.phase == Phase::Ended && status.setup.mode == Mode::Battle) {
        MatchFlow::SeatNames names{};
        for (int seat = 0; seat < status.setup.seats; ++seat) {
            names[static_cast<std::size_t>(seat)] = network->seatName(seat);
        }
        MatchFlow::battleResult(network->shown(), status.outcome, names, result);
    }
    if (network->over()) {
        if (!everJoined) {
            std::snprintf(joinFailure, sizeof joinFailure, "%s", networkConsole->lastLine());
            if (!joinFailed()) {
                std::snprintf(joinFailure, sizeof joinFailure, "%s", networkErrors->lastLine());
            }
            if (!joinFailed()) {
                std::snprintf(joinFailure, sizeof joinFailure, "No answer from the server");
            }
        }
        // On its own again: the title, and a match against the computer after it.
        notice = network->seatLost() ? ClientConnection::kSeatLostLine : "";
        network.reset();
        flow->backToTitle();
        camera.settle();
        following = false;
        return;
    }
    if (showingTitle()) {
        attract.step(events);
    }
    describeSeats();
    follow(player);
}

void GameClient::announceSeats(const protocol::Status& status) {
    for (int seat = 0; seat < status.setup.seats; ++seat) {
        const protocol::Occupant was = occupants[static_cast<std::size_t>(seat)];
        const protocol::Occupant is = status.seats[static_cast<std::size_t>(seat)].occupant;
        if (!occupantsKnown || was == is || was == protocol::Occupant::You ||
            is == protocol::Occupant::You) {
            continue;
        }
        char line[64];
        std::snprintf(line, sizeof line,
                      is == protocol::Occupant::Person
                          ? "Player joined seat %d"
                          : "Player left seat %d: the computer takes over",
                      seat + 1);
        feed.add(line);
    }
    for (int seat = 0; seat < status.setup.seats; ++seat) {
        occupants[static_cast<std::size_t>(seat)] =
            status.seats[static_cast<std::size_t>(seat)].occupant;
    }
    occupantsKnown = true;
}

void GameClient::describeSeats() {
    const protocol::Status& status = network->status();
    const auto nameOf = [&](int seat, char(&name)[24]) {
        const protocol::Occupant who = status.seats[static_cast<std::size_t>(seat)].occupant;
        std::snprintf(name, sizeof name, "%s%s",
                      who == protocol::Occupant::You      ? "you"
                      : who == protocol::Occupant::Person ? "a player"
                                                          : "the computer",
                      who == protocol::Occupant::You && network->ready() ? " (ready)" : "");
    };
    if (network->reconnecting()) {
        std::snprintf(seats, sizeof seats, "Reconnecting...");
    } else if (!network->joined()) {
        std::snprintf(seats, sizeof seats, "Connecting...");
    } else {
        announceSeats(status);
        if (network->watching()) {
            std::snprintf(seats, sizeof seats, "Watching %s   LEFT / RIGHT: another tank",
                          network->seatName(localSeat()));
        } else if (network->phase() == protocol::Phase::Playing) {
            seats[0] = '\0';
        } else if (status.setup.seats == MatchSetup::kMinSeats) {
            char first[24];
            char second[24];
            nameOf(0, first);
            nameOf(1, second);
            std::snprintf(seats, sizeof seats, "Seat 1: %s   Seat 2: %s", first, second);
        } else {
            int people = 0;
            for (int seat = 0; seat < status.setup.seats; ++seat) {
                people += status.seats[static_cast<std::size_t>(seat)].occupant !=
                                  protocol::Occupant::Computer
                              ? 1
                              : 0;
            }
            std::snprintf(seats, sizeof seats, "Seat %d of %d   %d players, %d computer tanks%s",
                          network->ownSeat() + 1, status.setup.seats, people,
                          status.setup.seats - people, network->ready() ? "   (ready)" : "");
        }
    }
}

bool GameClient::wantsPointer() const {
    return camera.freeLook && matchRunning() && !menu.open && !watching();
}

bool GameClient::showingTitle() const {
    return network ? network->phase() == Phase::Title : flow->phase() == Phase::Title;
}

bool GameClient::matchRunning() const {
    return network ? network->phase() == Phase::Playing : flow->playing();
}

const Match& GameClient::shownMatch() const {
    if (showingTitle()) {
        return attract.match();
    }
    return network ? network->shown() : flow->match;
}

const Outcome& GameClient::outcome() const {
    return network ? network->status().outcome : flow->lastOutcome();
}

const char* GameClient::headline() const {
    // The match shown: undecided when L ended it.
    const Outcome shown = network ? network->status().outcome : flow->match.outcome();
    if (shown.kind == Outcome::Kind::Draw) {
        return "DRAW";
    }
    if (watching()) {
        return "MATCH OVER";
    }
    return playerWon(shown) ? "YOU WON!" : "GAME OVER";
}

const char* GameClient::resultLine() const {
    if (!network) {
        // The last decided match's, or nothing before one.
        const Outcome& decided = flow->lastOutcome();
        if (decided.running()) {
            return "";
        }
        if (flow->match.state.mode == Mode::Battle) {
            return result;
        }
        return playerWon(decided) ? "You beat the stupid AI :)" : "The AI Won";
    }
    const protocol::Status& status = network->status();
    if (status.outcome.running()) {
        return "";
    }
    if (status.setup.mode == Mode::Battle) {
        return result;
    }
    if (status.outcome.kind == Outcome::Kind::Draw) {
        return "Both tanks lost their last life at once";
    }
    const int winner = status.outcome.seat;
    const int other = 1 - localSeat();
    if (watching()) {
        return winner == 0 ? "Seat 1 won the duel" : "Seat 2 won the duel";
    }
    if (status.seats[static_cast<std::size_t>(other)].occupant == protocol::Occupant::Computer) {
        return winner == localSeat() ? "You beat the stupid AI :)" : "The AI Won";
    }
    if (winner == localSeat()) {
        return "You won the duel";
    }
    return winner == 0 ? "Seat 1 won the duel" : "Seat 2 won the duel";
}

void GameClient::finish() {
    if (network) {
        network->leave();
    }
    if (recorder == nullptr) {
        return;
    }
    std::string error;
    if (!recorder->finish(flow->match.state, error)) {
        std::cerr << error << std::endl;
        status = 1;
        return;
    }
    printStateHash();
}

void GameClient::diverged(std::uint32_t matchTick) {
    std::cerr << "Replay diverged at tick " << matchTick << std::endl;
    status = 1;
    quit = true;
}

void GameClient::printStateHash() const {
    char line[64];
    std::snprintf(line, sizeof line, "Replay state hash: %016" PRIx64 " at tick %" PRIu32,
                  state_codec::hash(flow->match.state), flow->match.state.tick);
    std::cout << line << std::endl;
}

glm::vec3 GameClient::eyeAt(float blend) const {
    return showingTitle() ? attract.eyeAt(blend) : camera.eyeAt(blend);
}

glm::vec3 GameClient::targetAt(float blend) const {
    return showingTitle() ? attract.targetAt(blend) : camera.targetAt(blend);
}

glm::mat4 GameClient::view(float blend) const {
    return showingTitle() ? attract.view(blend) : camera.view(blend);
}
