#pragma once

#include "net/NetHost.h"
#include "net/Protocol.h"
#include "net/Seal.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The messages of one connection once its keys are agreed, sealed both ways.
//
// Reliable messages go as one stream on kControl: each message its length (two bytes) and its
// bytes, gathered until flush(), then cut into packets that ENet sends whole, each sealed on its
// own. So what a tick sends costs one seal, and a message may be as long as kLargestMessage; the
// other side reads the stream back in order, as ENet delivers it. Unreliable and unsequenced
// messages go one to a packet. No packet is ever larger than NetHost::kLargestWhole, so ENet
// never cuts one into fragments, which could not be checked one by one.
//
// Buffers are reserved when the link is made; sending and receiving allocate nothing of their
// own (ENet makes its packets).
class SealedLink {
public:
    static constexpr std::size_t kLargestMessage = NetHost::kMaximumPacketSize;
    static constexpr std::size_t kLargestPiece = NetHost::kLargestWhole - Seal::kOverhead;

    SealedLink();

    // Sealing starts with these keys; nothing is queued or half read.
    void begin(const Seal::Key& receive, const Seal::Key& send);
    void end();
    bool ready() const { return seal.ready(); }

    // Adds message to the stream; false, adding nothing, when it is empty or longer than
    // kLargestMessage.
    bool queue(const std::vector<std::uint8_t>& message);
    bool pending() const { return !outgoing.empty(); }
    // Seals what the stream holds and hands it to ENet for peer, the last piece marked a
    // farewell when farewell is set; false when ENet would not take a piece.
    bool flush(ENetPeer* peer, bool farewell = false);
    // Sends message alone, sealed, on channel (Unreliable or Unsequenced).
    bool sendAlone(ENetPeer* peer, std::uint8_t channel, NetHost::Delivery delivery,
                   const std::vector<std::uint8_t>& message);

    // Opens a sealed payload in place, taken in carrier (the gate does this before ENet takes
    // the datagram).
    bool open(std::uint8_t* payload, std::size_t size, const Seal::Carrier& carrier) {
        return seal.open(payload, size, carrier);
    }

    // Takes in a packet ENet handed over on channel and hands each whole message in it to
    // take(data, size). False when the packet is not one the gate opened, or the stream does
    // not read (a length of 0 or over kLargestMessage): the link is then broken.
    template <typename Take>
    bool receive(std::uint8_t channel, const std::uint8_t* data, std::size_t size, Take&& take) {
        Seal::Form form;
        const std::uint8_t* plain = nullptr;
        std::size_t plainSize = 0;
        if (!Seal::opened(data, size, form, plain, plainSize) || plainSize == 0) {
            return false;
        }
        if (channel != protocol::kControl) {
            take(plain, plainSize);
            return true;
        }
        if (incoming.size() + plainSize > kIncomingBytes) {
            return false;
        }
        incoming.insert(incoming.end(), plain, plain + plainSize);
        std::size_t at = 0;
        while (incoming.size() - at >= kLengthBytes) {
            const std::size_t length = incoming[at] | (incoming[at + 1] << 8);
            if (length == 0 || length > kLargestMessage) {
                incoming.clear();
                return false;
            }
            if (incoming.size() - at - kLengthBytes < length) {
                break;
            }
            take(incoming.data() + at + kLengthBytes, length);
            at += kLengthBytes + length;
        }
        incoming.erase(incoming.begin(), incoming.begin() + static_cast<std::ptrdiff_t>(at));
        return true;
    }

private:
    static constexpr std::size_t kLengthBytes = 2;
    // A message not yet whole and the piece that completes it.
    static constexpr std::size_t kIncomingBytes = kLargestMessage + kLengthBytes + kLargestPiece;

    Seal seal;
    std::vector<std::uint8_t> outgoing; // the stream not yet sealed
    std::vector<std::uint8_t> incoming; // the stream received, not yet a whole message
    std::vector<std::uint8_t> sealed;   // the packet being sealed
};
