#pragma once

#include "net/Protocol.h"

#include <optional>
#include <string>

// The proof that a client knows the server's password, without the password crossing the wire.
// The key is crypto_pwhash (Argon2id) of the password with the server's salt; the proof is
// crypto_auth (HMAC-SHA-512-256) under that key of the server's nonce, the client's nonce and
// the client's protocol version. The server makes a fresh nonce for every attempt, so a proof
// cannot be used twice. What it does not give: the traffic after it is neither encrypted nor
// signed, and a weak password can be guessed offline from one captured exchange.
namespace handshake {

using Key = std::array<std::uint8_t, 32>;

// False when libsodium cannot start on this machine.
bool ready();
// Random bytes for nonces and salts.
protocol::Nonce freshNonce();
protocol::Salt freshSalt();
// The key of password with salt; none when the machine cannot spare the memory.
std::optional<Key> keyOf(const std::string& password, const protocol::Salt& salt);
protocol::Mac proof(const Key& key, const protocol::Nonce& serverNonce,
                    const protocol::Nonce& clientNonce, std::uint32_t version);
bool proves(const Key& key, const protocol::Nonce& serverNonce, const protocol::Answer& answer,
            std::uint32_t version);

} // namespace handshake
