#include "net/Handshake.h"

#include "game/ByteWriter.h"

#include <sodium.h>

#include <vector>

namespace handshake {

namespace {
// A few hundredths of a second on a small machine: the price of one attempt for the client.
constexpr unsigned long long kHashPasses = crypto_pwhash_OPSLIMIT_INTERACTIVE;
constexpr std::size_t kHashMemory = 16u << 20; // bytes

static_assert(protocol::kSaltBytes == crypto_pwhash_SALTBYTES);
static_assert(protocol::kMacBytes == crypto_auth_BYTES);
static_assert(sizeof(Key) == crypto_auth_KEYBYTES);

std::vector<std::uint8_t> proven(const protocol::Nonce& serverNonce,
                                 const protocol::Nonce& clientNonce, std::uint32_t version) {
    std::vector<std::uint8_t> bytes;
    ByteWriter out(bytes);
    out.raw(serverNonce.data(), serverNonce.size());
    out.raw(clientNonce.data(), clientNonce.size());
    out.u32(version);
    return bytes;
}
} // namespace

bool ready() {
    return sodium_init() >= 0;
}

protocol::Nonce freshNonce() {
    protocol::Nonce nonce;
    randombytes_buf(nonce.data(), nonce.size());
    return nonce;
}

protocol::Salt freshSalt() {
    protocol::Salt salt;
    randombytes_buf(salt.data(), salt.size());
    return salt;
}

std::optional<Key> keyOf(const std::string& password, const protocol::Salt& salt) {
    Key key;
    if (crypto_pwhash(key.data(), key.size(), password.data(), password.size(), salt.data(),
                      kHashPasses, kHashMemory, crypto_pwhash_ALG_ARGON2ID13) != 0) {
        return std::nullopt;
    }
    return key;
}

protocol::Mac proof(const Key& key, const protocol::Nonce& serverNonce,
                    const protocol::Nonce& clientNonce, std::uint32_t version) {
    const std::vector<std::uint8_t> bytes = proven(serverNonce, clientNonce, version);
    protocol::Mac mac;
    crypto_auth(mac.data(), bytes.data(), bytes.size(), key.data());
    return mac;
}

bool proves(const Key& key, const protocol::Nonce& serverNonce, const protocol::Answer& answer,
            std::uint32_t version) {
    const std::vector<std::uint8_t> bytes = proven(serverNonce, answer.nonce, version);
    return crypto_auth_verify(answer.mac.data(), bytes.data(), bytes.size(), key.data()) == 0;
}

} // namespace handshake
