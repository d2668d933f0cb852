// A datagram lost in the first moments of a connection costs a retransmission, never the
// connection: a client whose acknowledgement of the server's VERIFY_CONNECT is lost (its second
// datagram: the server takes the connection as made only once that comes) still gets in, and so
// does one that loses any one of the server's first datagrams, the one that admits it among
// them, through a relay that loses nothing else.
#include "LinkRelay.h"
#include "NetPlay.h"
#include "net/ServerThread.h"

#include <gtest/gtest.h>

namespace {

using namespace netplay;

// A client's first datagram is its CONNECT; its second acknowledges the server's answer.
constexpr std::size_t kAcknowledgement = 2;

// The server's datagrams to a client up to its first snapshots: the handshake's, the
// admission, the match's status.
constexpr std::size_t kFirstDatagrams = 12;

constexpr double kDelayMs = 5.0; // each way

TEST(ConnectLossTest, AClientWhoseAcknowledgementOfTheServersVerificationIsLostStillGetsIn) {
    SharedConsole console;
    Server server(localServer("correct horse"), console.stream);
    ASSERT_TRUE(server.listening());
    ServerThread running(server);
    LinkRelay::Link link = LinkRelay::Link::clean(kDelayMs);
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

// Snapshots go unreliably: while the admission is resent, the match's snapshots overtake it.
TEST(ConnectLossTest, AClientThatLosesAnyOfTheServersFirstDatagramsStillGetsIn) {
    for (std::size_t lost = 1; lost <= kFirstDatagrams; ++lost) {
        SharedConsole console;
        Server server(localServer(), console.stream);
        ASSERT_TRUE(server.listening());
        ServerThread running(server);
        LinkRelay::Link link = LinkRelay::Link::clean(kDelayMs);
        link.loseDown = lost;
        LinkRelay relay(server.port(), link);

        Client player(relay.port());
        play({&player}, 10.0, [&] { return player.game.joined() || player.game.over(); });
        EXPECT_TRUE(player.game.joined())
            << "datagram " << lost << " lost: " << player.console.str() << player.errors.str();
        EXPECT_EQ(player.errors.str(), "") << "datagram " << lost << " lost";
    }
}

} // namespace
