#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// What one side of a connection seals and opens once its keys are agreed. Each message is
// sealed with ChaCha20-Poly1305 (IETF; no CPU feature needed) under the key of its direction,
// its nonce an explicit 8-byte counter the sender never repeats. Bound to it as additional
// data: its form and the ENet command it travels in (channel, kind, sequence numbers), so that
// a sealed message is taken only in the very command it was sealed for: one moved into another
// command, or with its numbers changed, fails like any forgery.
//
// On the wire: the form (a byte), the counter (8 bytes, little-endian), the ciphertext, the
// tag (16 bytes). A message opened in place keeps its length; its form byte then says it was
// opened (kOpened...), so that what ENet hands over later is read as plaintext.
//
// Replays: a reliable message is taken only with a counter within kReliableSpan of the
// highest reliable one taken (ENet drops a reliable number it has seen, until the numbers wrap,
// which takes more messages than that); any other message only once, and only within
// kWindow counters of the highest taken.
class Seal {
public:
    using Key = std::array<std::uint8_t, 32>;
    static constexpr std::size_t kFormBytes = 1;
    static constexpr std::size_t kCounterBytes = 8;
    static constexpr std::size_t kTagBytes = 16;
    static constexpr std::size_t kOverhead = kFormBytes + kCounterBytes + kTagBytes;
    static constexpr std::uint64_t kWindow = 64;
    static constexpr std::uint64_t kReliableSpan = 32768;

    // A message's form: data, or the last words before the sender disconnects.
    enum class Form : std::uint8_t { Data, Farewell };
    enum Mark : std::uint8_t {
        kSealedData = 0xA5,
        kSealedFarewell = 0xA6,
        kOpenedData = 0x5A,
        kOpenedFarewell = 0x5B,
    };

    // The ENet command a message travels in.
    struct Carrier {
        std::uint8_t channel = 0;
        std::uint8_t command = 0; // ENET_PROTOCOL_COMMAND_*, no flags
        std::uint16_t reliableSequence = 0;
        std::uint16_t secondSequence = 0; // the unreliable sequence number, or the group
    };

    // Seals with send and opens with receive from now on, counting afresh.
    void begin(const Key& receive, const Key& send);
    void end();
    bool ready() const { return keyed; }

    // Appends plain, sealed in form to travel in carrier, to out.
    void seal(Form form, const std::uint8_t* plain, std::size_t size, const Carrier& carrier,
              std::vector<std::uint8_t>& out);
    // Opens a sealed message in place, taken in carrier: true when it is genuine and new.
    bool open(std::uint8_t* message, std::size_t size, const Carrier& carrier);

    // An opened message: its form and plaintext; false when message is not an opened one.
    static bool opened(const std::uint8_t* message, std::size_t size, Form& form,
                       const std::uint8_t*& plain, std::size_t& plainSize);
    // Whether message was opened as a farewell (or is sealed as one).
    static bool farewell(const std::uint8_t* message, std::size_t size);

private:
    bool fresh(std::uint64_t counter, bool reliable) const;
    void take(std::uint64_t counter, bool reliable);

    Key receiveKey{};
    Key sendKey{};
    bool keyed = false;
    std::uint64_t nextCounter = 1;
    std::uint64_t highest = 0;         // of the other messages taken
    std::uint64_t seen = 0;            // bit i: highest − i was taken
    std::uint64_t highestReliable = 0; // of the reliable messages taken
};
