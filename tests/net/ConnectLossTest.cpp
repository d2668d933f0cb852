// A datagram lost in the first moments of a connection costs a retransmission, never the
// connection: a client whose acknowledgement of the server's VERIFY_CONNECT is lost (its second
// datagram: the server takes the connection as made only once that comes) still gets in,
// through a relay that loses nothing else.
#include "LinkRelay.h"
#include "NetPlay.h"
#include "net/ServerThread.h"

#include <gtest/gtest.h>

namespace {

using namespace netplay;

// A client's first datagram is its CONNECT; its second acknowledges the server's answer.
constexpr std::size_t kAcknowledgement = 2;

TEST(ConnectLossTest, AClientWhoseAcknowledgementOfTheServersVerificationIsLostStillGetsIn) {
    SharedConsole console;
    Server server(localServer("correct horse"), console.stream);
    ASSERT_TRUE(server.listening());
    ServerThread running(server);
    LinkRelay::Link link;
    link.delayMs = 5.0;
    link.jitterMs = 0.0;
    link.loss = 0.0;
    link.duplicates = 0.0;
    link.loseUp = kAcknowledgement;
    LinkRelay relay(server.port(), link);

    Client player(relay.port(), "correct horse");
    // ENet repeats what was not acknowledged within a second or two; the server lets a half-made
    // connection go after PeerSweep::kLimboSeconds and the client gives up after about six.
    const bool in =
        play({&player}, 10.0, [&] { return player.game.joined() || player.game.over(); });
    EXPECT_TRUE(in);
    EXPECT_TRUE(player.game.joined()) << player.console.str() << player.errors.str();
    EXPECT_FALSE(player.said("Cannot connect to 127.0.0.1:" + std::to_string(relay.port())));
    EXPECT_TRUE(console.has("Player joined seat 1"));
    EXPECT_EQ(relay.clients(), 1u);
}

} // namespace
