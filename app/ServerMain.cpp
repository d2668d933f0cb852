// Brakkel's dedicated server: matches between two players over the network, one after another,
// the computer playing any empty seat. Needs no display and links no window, GL or sound
// library. Runs until SIGINT or SIGTERM, then lets its players know and stops.
#include "app/CommandLine.h"
#include "net/Server.h"
#include "net/ServerThread.h"

#include <csignal>
#include <ctime>
#include <iostream>
#include <optional>
#include <pthread.h>

namespace {
constexpr int kExitNoServer = 1;
}

int main(int argc, char** argv) {
    int status = 0;
    std::optional<ServerOptions> options = parseServerCommandLine(argc, argv, status);
    if (!options) {
        return status;
    }
    // The signals are waited for here, on the main thread; every thread started after this
    // point leaves them to it.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    options->seed = static_cast<std::uint64_t>(std::time(nullptr));
    Server server(*options, std::cout);
    if (!server.listening()) {
        std::cerr << server.errorLine() << std::endl;
        return kExitNoServer;
    }
    std::cout << "Hosting on port " << server.port() << std::endl;
    {
        ServerThread running(server);
        int received = 0;
        sigwait(&stopSignals, &received);
    }
    std::cout << "Server stopped" << std::endl;
    return 0;
}
