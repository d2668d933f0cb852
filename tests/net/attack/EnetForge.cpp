#include "EnetForge.h"

EnetForge::EnetForge(std::uint16_t peer, std::uint8_t session, int sentTime) {
    std::uint16_t word = static_cast<std::uint16_t>(peer & 0x0FFF);
    word |= static_cast<std::uint16_t>((session & 3) << ENET_PROTOCOL_HEADER_SESSION_SHIFT);
    if (sentTime >= 0) {
        word |= ENET_PROTOCOL_HEADER_FLAG_SENT_TIME;
    }
    u16(word);
    if (sentTime >= 0) {
        u16(static_cast<std::uint16_t>(sentTime));
    }
}

void EnetForge::u16(std::uint16_t value) {
    datagram.push_back(static_cast<std::uint8_t>(value >> 8));
    datagram.push_back(static_cast<std::uint8_t>(value));
}

void EnetForge::u32(std::uint32_t value) {
    u16(static_cast<std::uint16_t>(value >> 16));
    u16(static_cast<std::uint16_t>(value));
}

void EnetForge::payload(const Bytes& bytes) {
    datagram.insert(datagram.end(), bytes.begin(), bytes.end());
}

void EnetForge::header(std::uint8_t command, std::uint8_t channel, std::uint16_t sequence) {
    u8(command);
    u8(channel);
    u16(sequence);
}

EnetForge& EnetForge::connect(std::uint16_t ownPeer, std::uint32_t connectId,
                              std::uint32_t channels, std::uint32_t mtu) {
    header(ENET_PROTOCOL_COMMAND_CONNECT | ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE, 0xFF, 1);
    u16(ownPeer);
    u8(0xFF); // incoming session: none yet
    u8(0xFF);
    u32(mtu);
    u32(ENET_PROTOCOL_MAXIMUM_WINDOW_SIZE);
    u32(channels);
    u32(0); // bandwidths
    u32(0);
    u32(ENET_PEER_PACKET_THROTTLE_INTERVAL);
    u32(ENET_PEER_PACKET_THROTTLE_ACCELERATION);
    u32(ENET_PEER_PACKET_THROTTLE_DECELERATION);
    u32(connectId);
    u32(0); // data
    return *this;
}

EnetForge& EnetForge::acknowledge(std::uint8_t channel, std::uint16_t sequence,
                                  std::uint16_t sentTime) {
    header(ENET_PROTOCOL_COMMAND_ACKNOWLEDGE, channel, sequence);
    u16(sequence);
    u16(sentTime);
    return *this;
}

EnetForge& EnetForge::ping(std::uint16_t sequence) {
    header(ENET_PROTOCOL_COMMAND_PING | ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE, 0xFF, sequence);
    return *this;
}

EnetForge& EnetForge::disconnect(std::uint16_t sequence, bool reliable) {
    header(ENET_PROTOCOL_COMMAND_DISCONNECT | (reliable ? ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE
                                                        : ENET_PROTOCOL_COMMAND_FLAG_UNSEQUENCED),
           0xFF, sequence);
    u32(0);
    return *this;
}

EnetForge& EnetForge::throttle(std::uint16_t sequence, std::uint32_t interval,
                               std::uint32_t acceleration, std::uint32_t deceleration) {
    header(ENET_PROTOCOL_COMMAND_THROTTLE_CONFIGURE | ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE, 0xFF,
           sequence);
    u32(interval);
    u32(acceleration);
    u32(deceleration);
    return *this;
}

EnetForge& EnetForge::bandwidth(std::uint16_t sequence, std::uint32_t incoming,
                                std::uint32_t outgoing) {
    header(ENET_PROTOCOL_COMMAND_BANDWIDTH_LIMIT | ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE, 0xFF,
           sequence);
    u32(incoming);
    u32(outgoing);
    return *this;
}

EnetForge& EnetForge::reliable(std::uint8_t channel, std::uint16_t sequence, const Bytes& bytes) {
    header(ENET_PROTOCOL_COMMAND_SEND_RELIABLE | ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE, channel,
           sequence);
    u16(static_cast<std::uint16_t>(bytes.size()));
    payload(bytes);
    return *this;
}

EnetForge& EnetForge::unreliable(std::uint8_t channel, std::uint16_t reliableSequence,
                                 std::uint16_t sequence, const Bytes& bytes) {
    header(ENET_PROTOCOL_COMMAND_SEND_UNRELIABLE, channel, reliableSequence);
    u16(sequence);
    u16(static_cast<std::uint16_t>(bytes.size()));
    payload(bytes);
    return *this;
}

EnetForge& EnetForge::unsequenced(std::uint8_t channel, std::uint16_t group, const Bytes& bytes) {
    header(ENET_PROTOCOL_COMMAND_SEND_UNSEQUENCED | ENET_PROTOCOL_COMMAND_FLAG_UNSEQUENCED, channel,
           0);
    u16(group);
    u16(static_cast<std::uint16_t>(bytes.size()));
    payload(bytes);
    return *this;
}

EnetForge& EnetForge::fragment(std::uint8_t channel, std::uint16_t start, std::uint32_t count,
                               std::uint32_t number, std::uint32_t total, std::uint32_t offset,
                               const Bytes& bytes, bool reliable) {
    header(reliable ? ENET_PROTOCOL_COMMAND_SEND_FRAGMENT | ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE
                    : ENET_PROTOCOL_COMMAND_SEND_UNRELIABLE_FRAGMENT,
           channel, start);
    u16(start);
    u16(static_cast<std::uint16_t>(bytes.size()));
    u32(count);
    u32(number);
    u32(total);
    u32(offset);
    payload(bytes);
    return *this;
}
