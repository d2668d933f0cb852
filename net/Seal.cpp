#include "net/Seal.h"

#include <enet/enet.h>
#include <sodium.h>

namespace {

static_assert(sizeof(Seal::Key) == crypto_aead_chacha20poly1305_ietf_KEYBYTES);
static_assert(Seal::kTagBytes == crypto_aead_chacha20poly1305_ietf_ABYTES);

using Nonce = std::array<std::uint8_t, crypto_aead_chacha20poly1305_ietf_NPUBBYTES>;
// Bound to each message: its form, the channel, the command and its two sequence numbers.
constexpr std::size_t kBoundBytes = 7;

Nonce nonceOf(std::uint64_t counter) {
    Nonce nonce{};
    for (std::size_t i = 0; i < Seal::kCounterBytes; ++i) {
        nonce[nonce.size() - Seal::kCounterBytes + i] =
            static_cast<std::uint8_t>(counter >> (8 * i));
    }
    return nonce;
}

std::array<std::uint8_t, kBoundBytes> boundData(std::uint8_t mark, const Seal::Carrier& carrier) {
    return {mark,
            carrier.channel,
            carrier.command,
            static_cast<std::uint8_t>(carrier.reliableSequence),
            static_cast<std::uint8_t>(carrier.reliableSequence >> 8),
            static_cast<std::uint8_t>(carrier.secondSequence),
            static_cast<std::uint8_t>(carrier.secondSequence >> 8)};
}

std::uint64_t counterAt(const std::uint8_t* at) {
    std::uint64_t counter = 0;
    for (std::size_t i = 0; i < Seal::kCounterBytes; ++i) {
        counter |= static_cast<std::uint64_t>(at[i]) << (8 * i);
    }
    return counter;
}

} // namespace

void Seal::begin(const Key& receive, const Key& send) {
    receiveKey = receive;
    sendKey = send;
    keyed = true;
    nextCounter = 1;
    highest = 0;
    seen = 0;
    highestReliable = 0;
}

void Seal::end() {
    sodium_memzero(receiveKey.data(), receiveKey.size());
    sodium_memzero(sendKey.data(), sendKey.size());
    keyed = false;
}

void Seal::seal(Form form, const std::uint8_t* plain, std::size_t size, const Carrier& carrier,
                std::vector<std::uint8_t>& out) {
    const std::uint8_t mark = form == Form::Farewell ? kSealedFarewell : kSealedData;
    const std::uint64_t counter = nextCounter++;
    const std::size_t start = out.size();
    out.resize(start + kOverhead + size);
    std::uint8_t* at = out.data() + start;
    at[0] = mark;
    for (std::size_t i = 0; i < kCounterBytes; ++i) {
        at[kFormBytes + i] = static_cast<std::uint8_t>(counter >> (8 * i));
    }
    const auto data = boundData(mark, carrier);
    const Nonce nonce = nonceOf(counter);
    crypto_aead_chacha20poly1305_ietf_encrypt_detached(
        at + kFormBytes + kCounterBytes, at + kFormBytes + kCounterBytes + size, nullptr, plain,
        size, data.data(), kBoundBytes, nullptr, nonce.data(), sendKey.data());
}

bool Seal::fresh(std::uint64_t counter, bool reliable) const {
    if (counter == 0) {
        return false;
    }
    if (reliable) {
        const std::uint64_t apart =
            counter > highestReliable ? counter - highestReliable : highestReliable - counter;
        return apart < kReliableSpan;
    }
    if (counter > highest) {
        return true;
    }
    const std::uint64_t behind = highest - counter;
    return behind < kWindow && (seen & (std::uint64_t{1} << behind)) == 0;
}

void Seal::take(std::uint64_t counter, bool reliable) {
    if (reliable) {
        highestReliable = counter > highestReliable ? counter : highestReliable;
        return;
    }
    if (counter > highest) {
        const std::uint64_t ahead = counter - highest;
        seen = ahead < kWindow ? (seen << ahead) | 1 : 1;
        highest = counter;
    } else {
        seen |= std::uint64_t{1} << (highest - counter);
    }
}

bool Seal::open(std::uint8_t* message, std::size_t size, const Carrier& carrier) {
    if (!keyed || size < kOverhead ||
        (message[0] != kSealedData && message[0] != kSealedFarewell)) {
        return false;
    }
    const std::uint64_t counter = counterAt(message + kFormBytes);
    const bool reliable = carrier.command == ENET_PROTOCOL_COMMAND_SEND_RELIABLE;
    if (!fresh(counter, reliable)) {
        return false;
    }
    const std::size_t plainSize = size - kOverhead;
    std::uint8_t* text = message + kFormBytes + kCounterBytes;
    const auto data = boundData(message[0], carrier);
    const Nonce nonce = nonceOf(counter);
    if (crypto_aead_chacha20poly1305_ietf_decrypt_detached(
            text, nullptr, text, plainSize, text + plainSize, data.data(), kBoundBytes,
            nonce.data(), receiveKey.data()) != 0) {
        return false;
    }
    take(counter, reliable);
    message[0] = message[0] == kSealedFarewell ? kOpenedFarewell : kOpenedData;
    return true;
}

bool Seal::opened(const std::uint8_t* message, std::size_t size, Form& form,
                  const std::uint8_t*& plain, std::size_t& plainSize) {
    if (size < kOverhead || (message[0] != kOpenedData && message[0] != kOpenedFarewell)) {
        return false;
    }
    form = message[0] == kOpenedFarewell ? Form::Farewell : Form::Data;
    plain = message + kFormBytes + kCounterBytes;
    plainSize = size - kOverhead;
    return true;
}

bool Seal::farewell(const std::uint8_t* message, std::size_t size) {
    return size >= kOverhead && (message[0] == kSealedFarewell || message[0] == kOpenedFarewell);
}
