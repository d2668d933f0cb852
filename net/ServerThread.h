#pragma once

#include "net/Server.h"

#include <atomic>
#include <thread>

// Runs a server on a thread of its own: a tick every Match::kTickSeconds of real time, whatever
// the rest of the process does, and between ticks the network, waited on rather than polled.
// After a stall (a suspended process) the time missed is dropped, not caught up.
class ServerThread {
public:
    // Starts at once; the server must outlive the thread.
    explicit ServerThread(Server& server);
    // Stops after the tick under way.
    ~ServerThread();
    ServerThread(const ServerThread&) = delete;
    ServerThread& operator=(const ServerThread&) = delete;

private:
    void run();

    Server& server;
    std::atomic<bool> stopping{false};
    std::thread thread;
};
