#include "net/EnetDatagram.h"

namespace {

std::uint16_t bigEndian16(const std::uint8_t* at) {
    return static_cast<std::uint16_t>((at[0] << 8) | at[1]);
}

std::uint32_t bigEndian32(const std::uint8_t* at) {
    return (static_cast<std::uint32_t>(at[0]) << 24) | (static_cast<std::uint32_t>(at[1]) << 16) |
           (static_cast<std::uint32_t>(at[2]) << 8) | static_cast<std::uint32_t>(at[3]);
}

// The header: the peer id with the flags and session in its top bits, then the sent time
// when its flag is set. No checksum: no host of ours sets one.
constexpr std::size_t kShortHeader = 2;
constexpr std::size_t kLongHeader = 4;
constexpr std::size_t kCommandHeader = 4;
// Where each send keeps its second sequence number and its payload's length.
constexpr std::size_t kSecondSequenceAt = 4;
constexpr std::size_t kReliableLengthAt = 4;
constexpr std::size_t kUnreliableLengthAt = 6;
constexpr std::size_t kFragmentLengthAt = 6;

} // namespace

bool EnetDatagram::read(std::uint8_t* data, std::size_t size) {
    count = 0;
    if (size < kShortHeader) {
        return false;
    }
    const std::uint16_t word = bigEndian16(data);
    hasSentTime = (word & ENET_PROTOCOL_HEADER_FLAG_SENT_TIME) != 0;
    isCompressed = (word & ENET_PROTOCOL_HEADER_FLAG_COMPRESSED) != 0;
    sessionId = static_cast<std::uint8_t>((word & ENET_PROTOCOL_HEADER_SESSION_MASK) >>
                                          ENET_PROTOCOL_HEADER_SESSION_SHIFT);
    peer = static_cast<std::uint16_t>(
        word & ~(ENET_PROTOCOL_HEADER_FLAG_MASK | ENET_PROTOCOL_HEADER_SESSION_MASK));
    std::size_t at = hasSentTime ? kLongHeader : kShortHeader;
    if (at > size) {
        return false;
    }
    while (at < size) {
        if (count == commands.size() || size - at < kCommandHeader) {
            return false;
        }
        std::uint8_t* start = data + at;
        Command& command = commands[count];
        command = Command();
        command.number = start[0] & ENET_PROTOCOL_COMMAND_MASK;
        command.flags = start[0] & ~ENET_PROTOCOL_COMMAND_MASK;
        command.channel = start[1];
        command.reliableSequence = bigEndian16(start + 2);
        command.fields = start;
        if (command.number >= ENET_PROTOCOL_COMMAND_COUNT) {
            return false;
        }
        const std::size_t fixed = enet_protocol_command_size(command.number);
        if (fixed < kCommandHeader || size - at < fixed) {
            return false;
        }
        std::size_t lengthAt = 0;
        switch (command.number) {
        case ENET_PROTOCOL_COMMAND_SEND_RELIABLE:
            lengthAt = kReliableLengthAt;
            break;
        case ENET_PROTOCOL_COMMAND_SEND_UNRELIABLE:
        case ENET_PROTOCOL_COMMAND_SEND_UNSEQUENCED:
            command.secondSequence = bigEndian16(start + kSecondSequenceAt);
            lengthAt = kUnreliableLengthAt;
            break;
        case ENET_PROTOCOL_COMMAND_SEND_FRAGMENT:
        case ENET_PROTOCOL_COMMAND_SEND_UNRELIABLE_FRAGMENT:
            command.secondSequence = bigEndian16(start + kSecondSequenceAt);
            lengthAt = kFragmentLengthAt;
            break;
        default:
            break;
        }
        at += fixed;
        if (lengthAt != 0) {
            command.payloadSize = bigEndian16(start + lengthAt);
            if (size - at < command.payloadSize) {
                return false;
            }
            command.payload = data + at;
            at += command.payloadSize;
        }
        ++count;
    }
    return true;
}

std::size_t EnetDatagram::fixedSize(const Command& command) {
    return enet_protocol_command_size(command.number);
}

std::uint16_t EnetDatagram::field16(const Command& command, std::size_t offset) {
    return offset + 2 <= fixedSize(command) ? bigEndian16(command.fields + offset) : 0;
}

std::uint32_t EnetDatagram::field32(const Command& command, std::size_t offset) {
    return offset + 4 <= fixedSize(command) ? bigEndian32(command.fields + offset) : 0;
}
