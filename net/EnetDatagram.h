#pragma once

#include <enet/enet.h>

#include <array>
#include <cstddef>
#include <cstdint>

// One raw ENet 1.3.17 datagram as it came off the wire, read without trusting a byte of it:
// the header in either of its sizes (with or without the sent time) and then each command in
// turn, sized by enet_protocol_command_size, with the payload a send carries. Every length is
// checked against what is there. A datagram is malformed as a whole when ENet could read it
// otherwise than it looks: an unknown command, a command or payload cut short, more commands
// than a sender ever puts in one, bytes left over.
//
// The commands point into the bytes read, which must outlive them; a payload may be changed in
// place (a sealed one is opened where it lies, before ENet copies it).
class EnetDatagram {
public:
    static constexpr std::size_t kMaxCommands = ENET_PROTOCOL_MAXIMUM_PACKET_COMMANDS;
    // The peer id of a datagram from a host that has no peer here yet (a connect).
    static constexpr std::uint16_t kNoPeer = ENET_PROTOCOL_MAXIMUM_PEER_ID;

    struct Command {
        std::uint8_t number = 0; // ENET_PROTOCOL_COMMAND_*, the flags masked off
        std::uint8_t flags = 0;  // ENET_PROTOCOL_COMMAND_FLAG_*
        std::uint8_t channel = 0;
        std::uint16_t reliableSequence = 0;
        // SEND_UNRELIABLE: its unreliable sequence number; SEND_UNSEQUENCED: its group; a
        // fragment: the sequence number of its first fragment.
        std::uint16_t secondSequence = 0;
        const std::uint8_t* fields = nullptr; // the command as on the wire, its fixed size
        std::uint8_t* payload = nullptr;      // the data a send carries, where it lies
        std::size_t payloadSize = 0;
    };

    // Reads size bytes at data; false when they are not one well-formed datagram.
    bool read(std::uint8_t* data, std::size_t size);

    std::uint16_t peerId() const { return peer; }
    std::uint8_t session() const { return sessionId; }
    bool compressed() const { return isCompressed; }
    bool sentTime() const { return hasSentTime; }
    std::size_t size() const { return count; }
    const Command& operator[](std::size_t index) const { return commands[index]; }

    // A field of a command's fixed part, big-endian as ENet writes it, at offset from the
    // command's start; 0 past its end.
    static std::uint16_t field16(const Command& command, std::size_t offset);
    static std::uint32_t field32(const Command& command, std::size_t offset);
    static std::size_t fixedSize(const Command& command);

    // Where CONNECT and VERIFY_CONNECT keep the fields a filter looks at.
    static constexpr std::size_t kConnectMtu = 8;
    static constexpr std::size_t kConnectChannelCount = 16;

private:
    std::array<Command, kMaxCommands> commands{};
    std::size_t count = 0;
    std::uint16_t peer = 0;
    std::uint8_t sessionId = 0;
    bool isCompressed = false;
    bool hasSentTime = false;
};
