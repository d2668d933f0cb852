// Brakkel's dedicated server: matches between two players over the network, one after another,
// the computer playing any empty seat. Needs no display and links no window, GL or sound
// library. Runs until SIGINT or SIGTERM, then lets its players know and stops. Its console lines
// go out through a queue of their own, so a console that is full or closed never holds it up.
#include "app/CommandLine.h"
#include "assets/ArenaFile.h"
#include "assets/ArenaFolders.h"
#include "net/ConsoleQueue.h"
#include "net/Server.h"
#include "net/ServerThread.h"

#include <csignal>
#include <ctime>
#include <iostream>
#include <optional>
#include <pthread.h>
#include <unistd.h>

namespace {
constexpr int kExitNoServer = 1;
}

int main(int argc, char** argv) {
    int status = 0;
    std::string arenaChoice;
    std::optional<ServerOptions> options = parseServerCommandLine(argc, argv, status, arenaChoice);
    if (!options) {
        return status;
    }
    if (!arenaChoice.empty()) {
        const std::string found = ArenaFolders::standard().resolve(arenaChoice);
        options->arena = ArenaFile::load(found.empty() ? arenaChoice : found, std::cerr);
        if (options->arena.hash() != Arena::standard().hash()) {
            options->arenaFile = ArenaFile::write(options->arena);
        }
        std::cout << "Arena: " << options->arena.byline() << std::endl;
    }
    // A closed console is an error to write to, not the end.
    std::signal(SIGPIPE, SIG_IGN);
    // The signals are waited for here, on the main thread; every thread started after this
    // point leaves them to it.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    options->seed = static_cast<std::uint64_t>(std::time(nullptr));
    ConsoleQueue console(STDOUT_FILENO);
    Server server(*options, console.stream());
    if (!server.listening()) {
        std::cerr << server.errorLine() << std::endl;
        return kExitNoServer;
    }
    console.stream() << ("Hosting on port " + std::to_string(server.port()) + "\n") << std::flush;
    {
        ServerThread running(server);
        int received = 0;
        sigwait(&stopSignals, &received);
    }
    console.stream() << "Server stopped\n" << std::flush;
    return 0;
}
