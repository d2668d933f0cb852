#include "net/SealedLink.h"

#include <algorithm>

namespace {
// The stream holds at most a few ticks' messages before it is flushed.
constexpr std::size_t kStreamBytes = 4 * SealedLink::kLargestMessage;
} // namespace

SealedLink::SealedLink() {
    outgoing.reserve(kStreamBytes);
    incoming.reserve(kIncomingBytes);
    sealed.reserve(NetHost::kLargestWhole);
}

void SealedLink::begin(const Seal::Key& receive, const Seal::Key& send) {
    seal.begin(receive, send);
    outgoing.clear();
    incoming.clear();
}

void SealedLink::end() {
    seal.end();
    outgoing.clear();
    incoming.clear();
}

bool SealedLink::queue(const std::vector<std::uint8_t>& message) {
    if (message.empty() || message.size() > kLargestMessage ||
        outgoing.size() + kLengthBytes + message.size() > kStreamBytes) {
        return false;
    }
    outgoing.push_back(static_cast<std::uint8_t>(message.size()));
    outgoing.push_back(static_cast<std::uint8_t>(message.size() >> 8));
    outgoing.insert(outgoing.end(), message.begin(), message.end());
    return true;
}

bool SealedLink::flush(ENetPeer* peer, bool farewell) {
    bool sent = NetHost::canSend(peer, protocol::kControl);
    for (std::size_t at = 0; at < outgoing.size() && sent;) {
        const std::size_t piece = std::min(kLargestPiece, outgoing.size() - at);
        const bool last = at + piece == outgoing.size();
        sealed.clear();
        seal.seal(
            farewell && last ? Seal::Form::Farewell : Seal::Form::Data, outgoing.data() + at, piece,
            NetHost::nextCarrier(peer, protocol::kControl, NetHost::Delivery::Reliable), sealed);
        sent = NetHost::send(peer, protocol::kControl, NetHost::Delivery::Reliable, sealed.data(),
                             sealed.size());
        at += piece;
    }
    outgoing.clear();
    return sent;
}

bool SealedLink::sendAlone(ENetPeer* peer, std::uint8_t channel, NetHost::Delivery delivery,
                           const std::vector<std::uint8_t>& message) {
    if (message.empty() || message.size() > kLargestPiece || !NetHost::canSend(peer, channel)) {
        return false;
    }
    sealed.clear();
    seal.seal(Seal::Form::Data, message.data(), message.size(),
              NetHost::nextCarrier(peer, channel, delivery), sealed);
    return NetHost::send(peer, channel, delivery, sealed.data(), sealed.size());
}
