#include "net/DiscoveryResponder.h"

namespace {
AttemptLimiter::Limits limiterLimits(const DiscoveryResponder::Limits& limits) {
    AttemptLimiter::Limits made;
    made.perAddress = limits.perAddress;
    // A whole LAN is one /24: it is held to the server's limit only.
    made.perNetwork = limits.perServer;
    made.perServer = limits.perServer;
    made.addresses = limits.addresses;
    made.networks = 1;
    made.trusted = 1; // no address is ever trusted here
    return made;
}
} // namespace

DiscoveryResponder::DiscoveryResponder(const Limits& limits) : limiter(limiterLimits(limits)) {}

bool DiscoveryResponder::take(ENetHost& host, double nowSeconds) {
    if (!discovery::marked(host.receivedData, host.receivedDataLength)) {
        return false;
    }
    std::uint64_t nonce = 0;
    if (!discovery::readRequest(host.receivedData, host.receivedDataLength, nonce)) {
        ++counted.malformed;
        return true;
    }
    if (!enabled || !limiter.allow(host.receivedAddress.host, nowSeconds)) {
        ++counted.overBudget;
        return true;
    }
    about.nonce = nonce;
    ENetBuffer buffer;
    buffer.data = answer.data();
    buffer.dataLength = discovery::writeAnswer(about, answer);
    // A full socket buffer loses the answer; the client asks again.
    if (enet_socket_send(host.socket, &host.receivedAddress, &buffer, 1) > 0) {
        ++counted.answered;
    }
    return true;
}
