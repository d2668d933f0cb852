#pragma once

#include "net/Protocol.h"
#include "net/Seal.h"

#include <optional>
#include <string>

// How a client and a server agree on the keys that seal their traffic, and how the client proves
// that it knows the server's password without the password crossing the wire.
//
// Each side makes a fresh crypto_kx key pair for every connection and sends its public key in
// the clear (Hello; Challenge or Welcome); the session keys follow from both. With a password,
// the password key is crypto_pwhash (Argon2id) of the password with the server's salt; the
// client proves it by a crypto_auth (HMAC-SHA-512-256) under that key of the transcript (the
// server's nonce, the client's nonce, the version and both public keys) and the server answers
// with its own crypto_auth of the same transcript, told apart by the side's name. So a man in the
// middle who lacks the password can neither finish the exchange with keys of his own nor pose as
// the server. The server makes a fresh nonce for every attempt, so a proof cannot be used twice.
// What it does not give: a weak password can be guessed offline from one captured exchange, and
// without a password anyone can make the exchange with either side.
namespace handshake {

using Key = std::array<std::uint8_t, 32>;

struct KeyPair {
    protocol::PublicKey publicKey{};
    std::array<std::uint8_t, 32> secretKey{};
};

// What each proof covers.
struct Transcript {
    protocol::Nonce serverNonce{};
    protocol::Nonce clientNonce{};
    std::uint32_t version = protocol::kVersion;
    protocol::PublicKey clientKey{};
    protocol::PublicKey serverKey{};
};
enum class Side { Client, Server };

// False when libsodium cannot start on this machine.
bool ready();
// Random bytes for nonces, salts and resume tokens.
protocol::Nonce freshNonce();
protocol::Salt freshSalt();
protocol::Token freshToken();
KeyPair freshKeyPair();
// Both directions' keys, from this side's pair and the other side's public key; false when that
// key is unusable.
bool clientSession(const KeyPair& own, const protocol::PublicKey& server, Seal::Key& receive,
                   Seal::Key& send);
bool serverSession(const KeyPair& own, const protocol::PublicKey& client, Seal::Key& receive,
                   Seal::Key& send);
// The key of password with salt; none when the machine cannot spare the memory.
std::optional<Key> keyOf(const std::string& password, const protocol::Salt& salt);
protocol::Mac proof(const Key& key, Side side, const Transcript& transcript);
bool proves(const Key& key, Side side, const Transcript& transcript, const protocol::Mac& mac);

} // namespace handshake
