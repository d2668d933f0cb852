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
static_assert(protocol::kKeyBytes == crypto_kx_PUBLICKEYBYTES);
static_assert(sizeof(KeyPair::secretKey) == crypto_kx_SECRETKEYBYTES);
static_assert(sizeof(Seal::Key) == crypto_kx_SESSIONKEYBYTES);

std::vector<std::uint8_t> proven(Side side, const Transcript& transcript) {
    std::vector<std::uint8_t> bytes;
    ByteWriter out(bytes);
    out.u8(side == Side::Client ? 'C' : 'S');
    out.raw(transcript.serverNonce.data(), transcript.serverNonce.size());
    out.raw(transcript.clientNonce.data(), transcript.clientNonce.size());
    out.u32(transcript.version);
    out.raw(transcript.clientKey.data(), transcript.clientKey.size());
    out.raw(transcript.serverKey.data(), transcript.serverKey.size());
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

protocol::Token freshToken() {
    protocol::Token token;
    randombytes_buf(token.data(), token.size());
    return token;
}

KeyPair freshKeyPair() {
    KeyPair pair;
    crypto_kx_keypair(pair.publicKey.data(), pair.secretKey.data());
    return pair;
}

bool clientSession(const KeyPair& own, const protocol::PublicKey& server, Seal::Key& receive,
                   Seal::Key& send) {
    return crypto_kx_client_session_keys(receive.data(), send.data(), own.publicKey.data(),
                                         own.secretKey.data(), server.data()) == 0;
}

bool serverSession(const KeyPair& own, const protocol::PublicKey& client, Seal::Key& receive,
                   Seal::Key& send) {
    return crypto_kx_server_session_keys(receive.data(), send.data(), own.publicKey.data(),
                                         own.secretKey.data(), client.data()) == 0;
}

std::optional<Key> keyOf(const std::string& password, const protocol::Salt& salt) {
    Key key;
    if (crypto_pwhash(key.data(), key.size(), password.data(), password.size(), salt.data(),
                      kHashPasses, kHashMemory, crypto_pwhash_ALG_ARGON2ID13) != 0) {
        return std::nullopt;
    }
    return key;
}

protocol::Mac proof(const Key& key, Side side, const Transcript& transcript) {
    const std::vector<std::uint8_t> bytes = proven(side, transcript);
    protocol::Mac mac;
    crypto_auth(mac.data(), bytes.data(), bytes.size(), key.data());
    return mac;
}

bool proves(const Key& key, Side side, const Transcript& transcript, const protocol::Mac& mac) {
    const std::vector<std::uint8_t> bytes = proven(side, transcript);
    return crypto_auth_verify(mac.data(), bytes.data(), bytes.size(), key.data()) == 0;
}

} // namespace handshake
