#pragma once

#include "net/ClientGate.h"
#include "net/Handshake.h"
#include "net/NetHost.h"
#include "net/Protocol.h"

#include <cstdint>
#include <string>
#include <vector>

// A client made by hand from the game's own parts, for tests that play a client gone wrong: it
// connects, proves the password, agrees the keys and takes a seat as the game's client does, and
// then sends whatever it is told, sealed or not, on any channel.
class HandClient {
public:
    explicit HandClient(std::uint16_t port, const std::string& password = "");

    // Connects and takes a seat within seconds; false when it could not.
    bool join(double seconds);
    // Sends message sealed: reliable in the stream on kControl, or alone on channel.
    void sendSealed(std::uint8_t channel, NetHost::Delivery delivery,
                    const std::vector<std::uint8_t>& message);
    // Sends bytes as they are, one ENet packet with flags.
    void sendPlain(std::uint8_t channel, enet_uint32 flags, const std::vector<std::uint8_t>& bytes);
    // Takes in what has come, waiting up to ms for the first of it, and drops it.
    void service(std::uint32_t ms = 0);
    void leave();

    int seat = -1;

private:
    void onReceive(std::uint8_t channel, const std::uint8_t* data, std::size_t size);

    std::uint16_t port;
    std::string password;
    ClientGate gate;
    NetHost host;
    ENetPeer* peer = nullptr;
    handshake::KeyPair keys;
    handshake::Transcript transcript;
    std::vector<std::uint8_t> bytes;
};
