// The proofs of the password: each side's proof covers both nonces, the version and both public
// keys, so a man in the middle who swaps a key, or sends one side's proof back as the other's,
// proves nothing; and both sides come out of the key exchange with each other's keys.
#include "net/Handshake.h"

#include <gtest/gtest.h>

namespace {

TEST(HandshakeTest, AProofHoldsOnlyForItsSideAndTheKeysItWasMadeOver) {
    ASSERT_TRUE(handshake::ready());
    const protocol::Salt salt = handshake::freshSalt();
    const handshake::Key key = *handshake::keyOf("correct horse", salt);
    const handshake::KeyPair client = handshake::freshKeyPair();
    const handshake::KeyPair server = handshake::freshKeyPair();
    handshake::Transcript transcript;
    transcript.serverNonce = handshake::freshNonce();
    transcript.clientNonce = handshake::freshNonce();
    transcript.clientKey = client.publicKey;
    transcript.serverKey = server.publicKey;
    const protocol::Mac proof = handshake::proof(key, handshake::Side::Client, transcript);
    EXPECT_TRUE(handshake::proves(key, handshake::Side::Client, transcript, proof));
    EXPECT_FALSE(handshake::proves(key, handshake::Side::Server, transcript, proof));
    EXPECT_FALSE(handshake::proves(*handshake::keyOf("battery staple", salt),
                                   handshake::Side::Client, transcript, proof));
    const handshake::KeyPair middle = handshake::freshKeyPair();
    for (protocol::PublicKey handshake::Transcript::*swapped :
         {&handshake::Transcript::clientKey, &handshake::Transcript::serverKey}) {
        handshake::Transcript changed = transcript;
        changed.*swapped = middle.publicKey;
        EXPECT_FALSE(handshake::proves(key, handshake::Side::Client, changed, proof));
    }
    handshake::Transcript older = transcript;
    older.version = protocol::kVersion - 1;
    EXPECT_FALSE(handshake::proves(key, handshake::Side::Client, older, proof));

    Seal::Key clientReceive, clientSend, serverReceive, serverSend;
    ASSERT_TRUE(handshake::clientSession(client, server.publicKey, clientReceive, clientSend));
    ASSERT_TRUE(handshake::serverSession(server, client.publicKey, serverReceive, serverSend));
    EXPECT_EQ(clientSend, serverReceive);
    EXPECT_EQ(serverSend, clientReceive);
    EXPECT_NE(clientSend, clientReceive);
    // A key that is no point on the curve agrees on nothing.
    Seal::Key receive, send;
    EXPECT_FALSE(handshake::clientSession(client, protocol::PublicKey{}, receive, send));
}

} // namespace
