#pragma once

#include "net/DatagramGate.h"
#include "net/Seal.h"

#include <enet/enet.h>

#include <cstddef>
#include <cstdint>
#include <string>

// One ENet host over UDP and IPv4, owned: destroyed with its peers when the value goes. It is
// set up against the traps of ENet 1.3.17:
//   - a packet larger than kMaximumPacketSize is refused, and a peer may hold at most
//     kMaximumWaitingData of packets not yet handed over (ENet counts only payload bytes there:
//     the gate bounds the number of commands);
//   - the packet throttle never slows down (deceleration 0), so ENet drops none of our
//     unreliable packets when a link has lost a few; it is set on our own side only, never sent
//     (a THROTTLE_CONFIGURE is dropped by the other side's gate);
//   - every peer may come from the same address (a LAN party, a relay, loopback): the gate
//     decides how many;
//   - ENet never sends a BANDWIDTH_LIMIT (which the other side's gate drops, unacknowledged,
//     until the peer times out): its bandwidth throttle, which would send one to every peer
//     within a second of any connect or disconnect, is kept from running by moving its epoch
//     to now before each service, and the flag that would ask for one is cleared after (our
//     hosts limit no bandwidth);
//   - service() goes on until ENet has nothing more, counting an error and going on, so one
//     bad datagram never stops a host.
// Every datagram received goes through the host's gate first (guard()), which ENet reaches
// through the host's compressor context: a context with no functions, which ENet 1.3.17 never
// calls (it checks each function before use), so nothing is ever compressed and a compressed
// datagram is refused.
class NetHost {
public:
    static constexpr std::size_t kMaximumPacketSize = 4096;   // bytes
    static constexpr std::size_t kMaximumWaitingData = 65536; // bytes, per peer
    // A peer that stops answering is let go after 5.2 to 6 s: ENet's timeout counts from the
    // oldest unacknowledged reliable command, which may have been sent a round trip before the
    // peer fell silent.
    static constexpr std::uint32_t kTimeoutMinimumMs = 5200;
    static constexpr std::uint32_t kTimeoutMaximumMs = 6000;
    // Events handed over by one service() at most: a flood cannot keep a tick waiting.
    static constexpr int kMaxEventsPerService = 4096;

    // A host that listens on port (0: any free one) of every IPv4 address for up to peers
    // peers; check ok().
    static NetHost listening(std::uint16_t port, std::size_t peers);
    // A host that connects out to one server.
    static NetHost connecting();
    // No host (ok() is false) until one is moved in.
    NetHost() = default;

    NetHost(NetHost&& other) noexcept;
    NetHost& operator=(NetHost&& other) noexcept;
    NetHost(const NetHost&) = delete;
    NetHost& operator=(const NetHost&) = delete;
    ~NetHost();

    bool ok() const { return host != nullptr; }
    // The port the host listens on; its own port for a connecting host.
    std::uint16_t port() const { return host != nullptr ? host->address.port : 0; }
    ENetHost* get() const { return host; }

    // Starts connecting to hostName (a name or dotted address) at port; null when the name is
    // not found or no peer is free.
    ENetPeer* connect(const std::string& hostName, std::uint16_t port);
    // Hands every event ENet has to handle(event), waiting up to timeoutMs for the first.
    // Returns the errors ENet reported, which are counted, not fatal.
    template <typename Handle> int service(std::uint32_t timeoutMs, Handle&& handle) {
        int errors = 0;
        ENetEvent event;
        for (int i = 0; i < kMaxEventsPerService; ++i) {
            host->bandwidthThrottleEpoch = enet_time_get();
            const int result = enet_host_service(host, &event, i == 0 ? timeoutMs : 0);
            host->recalculateBandwidthLimits = 0;
            if (result == 0) {
                break;
            }
            if (result < 0) {
                ++errors;
                continue;
            }
            if (event.type == ENET_EVENT_TYPE_CONNECT) {
                configure(event.peer);
            }
            handle(event);
            if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                enet_packet_destroy(event.packet);
            }
        }
        return errors;
    }
    // Sends bytes to peer on channel: reliable, or unreliable and, when unsequenced, taken
    // whenever it comes. False when ENet would not queue it.
    enum class Delivery { Reliable, Unreliable, Unsequenced };
    static bool send(ENetPeer* peer, std::uint8_t channel, Delivery delivery,
                     const std::uint8_t* data, std::size_t size);
    // Whether ENet takes a packet for peer on channel now.
    static bool canSend(const ENetPeer* peer, std::uint8_t channel) {
        return peer != nullptr && peer->state == ENET_PEER_STATE_CONNECTED &&
               channel < peer->channelCount;
    }
    // The command ENet will carry the next packet sent to peer on channel in, with its numbers,
    // as ENet 1.3.17 gives them out (enet_peer_send), for a packet it does not cut into
    // fragments. The peer must be one that canSend() on channel.
    static Seal::Carrier nextCarrier(const ENetPeer* peer, std::uint8_t channel, Delivery delivery);
    // The largest packet ENet sends whole to a peer of the default MTU.
    static constexpr std::size_t kLargestWhole = ENET_HOST_DEFAULT_MTU - 4 - 24;
    // The settings every peer gets, ours or theirs, once connected.
    static void configure(ENetPeer* peer);
    // Every datagram goes through gate from now on; it must outlive the host.
    void guard(DatagramGate& gate);

private:
    explicit NetHost(ENetHost* host) : host(host) {}
    ENetHost* host = nullptr;
};
