// Games found on the local network: real servers on loopback answering the real finder, and a
// raw socket that asks too often, too briefly, from many addresses, or answers as a liar would.
#include "NetPlay.h"

#include "net/Discovery.h"
#include "net/LanFinder.h"
#include "net/Server.h"
#include "net/ServerThread.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using netplay::Clock;
using netplay::secondsSince;

// Away from the game's own port, which a game on this machine may hold.
constexpr std::uint16_t kFirstPort = protocol::kDefaultPort + 140;
constexpr std::uint32_t kLoopback = 0x7F000001u; // 127.0.0.1

// A plain UDP socket on a loopback address of its own and any free port.
class UdpSocket {
public:
    explicit UdpSocket(std::uint32_t address = kLoopback, std::uint16_t port = 0) {
        fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
        sockaddr_in own{};
        own.sin_family = AF_INET;
        own.sin_addr.s_addr = htonl(address);
        own.sin_port = htons(port);
        if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&own), sizeof own) != 0) {
            close(fd);
            fd = -1;
        }
    }
    ~UdpSocket() {
        if (fd >= 0) {
            close(fd);
        }
    }
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    bool ok() const { return fd >= 0; }
    void sendTo(std::uint16_t port, const std::uint8_t* data, std::size_t size,
                std::uint32_t address = kLoopback) const {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(address);
        to.sin_port = htons(port);
        sendto(fd, data, size, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    // The datagrams that come within seconds, each with the port it came from.
    std::vector<std::pair<std::vector<std::uint8_t>, std::uint16_t>> receive(double seconds) {
        std::vector<std::pair<std::vector<std::uint8_t>, std::uint16_t>> got;
        const Clock::time_point start = Clock::now();
        for (double left = seconds; left > 0.0; left = seconds - secondsSince(start)) {
            pollfd waiting{fd, POLLIN, 0};
            poll(&waiting, 1, static_cast<int>(left * 1000.0) + 1);
            std::vector<std::uint8_t> bytes(4096);
            sockaddr_in from{};
            socklen_t size = sizeof from;
            for (ssize_t n; (n = recvfrom(fd, bytes.data(), bytes.size(), 0,
                                          reinterpret_cast<sockaddr*>(&from), &size)) >= 0;) {
                got.emplace_back(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + n),
                                 ntohs(from.sin_port));
            }
        }
        return got;
    }

private:
    int fd = -1;
};

discovery::Request request(std::uint64_t nonce) {
    discovery::Request bytes;
    discovery::writeRequest(nonce, bytes);
    return bytes;
}

// A server on the first free port of the finder's range (a port can be had once), its lines
// kept.
struct Hosted {
    explicit Hosted(ServerOptions options) {
        for (int port = 0; port < LanFinder::kPortsProbed && !server; ++port) {
            options.port = static_cast<std::uint16_t>(kFirstPort + port);
            server = std::make_unique<Server>(options, console);
            if (!server->listening()) {
                server.reset();
            }
        }
        if (server) {
            thread = std::make_unique<ServerThread>(*server);
        }
    }
    ~Hosted() { thread.reset(); }
    std::ostringstream console;
    std::unique_ptr<Server> server;
    std::unique_ptr<ServerThread> thread;
};

ServerOptions named(const std::string& name) {
    ServerOptions options = netplay::localServer();
    options.name = name;
    return options;
}

// Probes every tenth of a second until want servers answered or seconds passed.
void find(LanFinder& finder, std::size_t want, double seconds) {
    const Clock::time_point start = Clock::now();
    double probed = -1.0;
    while (finder.size() < want && secondsSince(start) < seconds) {
        if (secondsSince(start) - probed >= 0.1) {
            finder.probe();
            probed = secondsSince(start);
        }
        finder.receive(10);
    }
}

const LanFinder::Found* foundOn(const LanFinder& finder, std::uint16_t port) {
    const auto found = std::find_if(finder.begin(), finder.end(),
                                    [port](const LanFinder::Found& f) { return f.port == port; });
    return found == finder.end() ? nullptr : found;
}

TEST(DiscoveryTest, ThreeServersOnLoopbackAreFoundWithinASecondWithTheirDetails) {
    Hosted duel(named("Ada's duel"));
    ServerOptions battle = named("Bob\x01\tbattles and more than sixteen");
    battle.mode = Mode::Battle;
    battle.tanks = 6;
    battle.teams = true;
    battle.password = "sesame";
    Hosted teams(battle);
    ServerOptions open = named("Cy");
    open.mode = Mode::Battle;
    open.tanks = 4;
    Hosted taken(open);
    ASSERT_TRUE(duel.server && teams.server && taken.server);
    // A person sits in the last one.
    netplay::Client person(taken.server->port());
    ASSERT_TRUE(netplay::play({&person}, 10.0, [&] { return person.game.joined(); }));
    netplay::sleepTick();
    netplay::sleepTick();

    LanFinder finder(kFirstPort);
    ASSERT_TRUE(finder.ok());
    const Clock::time_point start = Clock::now();
    finder.probe();
    while (finder.size() < 3 && secondsSince(start) < 1.0) {
        finder.receive(10);
    }
    EXPECT_LT(secondsSince(start), 1.0);
    ASSERT_EQ(finder.size(), 3u);

    const LanFinder::Found* ada = foundOn(finder, duel.server->port());
    const LanFinder::Found* bob = foundOn(finder, teams.server->port());
    const LanFinder::Found* cy = foundOn(finder, taken.server->port());
    ASSERT_TRUE(ada && bob && cy);
    EXPECT_STREQ(ada->about.name.data(), "Ada's duel");
    EXPECT_STREQ(bob->about.name.data(), "Bob??battles and") << "cleaned like a player's name";
    EXPECT_STREQ(cy->about.name.data(), "Cy");
    for (const LanFinder::Found* found : {ada, bob, cy}) {
        EXPECT_STREQ(found->about.arena.data(), Arena::kStandardName);
        EXPECT_EQ(found->about.version, protocol::kVersion);
        EXPECT_EQ(found->address, htonl(kLoopback));
        EXPECT_GE(found->roundTripMs, 0.0);
        EXPECT_LT(found->roundTripMs, 1000.0);
        char where[32];
        found->where(where, sizeof where);
        EXPECT_EQ(std::string(where), "127.0.0.1:" + std::to_string(found->port));
    }
    EXPECT_EQ(ada->about.mode, Mode::Duel);
    EXPECT_STREQ(ada->modeName(), "duel");
    EXPECT_EQ(ada->about.seats, 2);
    EXPECT_EQ(ada->about.persons, 0);
    EXPECT_FALSE(ada->about.password);
    EXPECT_STREQ(bob->modeName(), "battle, teams");
    EXPECT_EQ(bob->about.seats, 6);
    EXPECT_EQ(bob->about.persons, 0);
    EXPECT_TRUE(bob->about.password);
    EXPECT_STREQ(cy->modeName(), "battle");
    EXPECT_EQ(cy->about.seats, 4);
    EXPECT_EQ(cy->about.persons, 1);
    EXPECT_FALSE(cy->about.password);
    const std::set<std::uint64_t> ids{ada->about.serverId, bob->about.serverId, cy->about.serverId};
    EXPECT_EQ(ids.size(), 3u) << "each server its own id";

    // Asked again, each is still there once, and one that stops is forgotten.
    finder.probe();
    finder.receive(200);
    EXPECT_EQ(finder.size(), 3u);
    const std::uint16_t gone = duel.server->port();
    duel.thread.reset();
    duel.server.reset();
    const Clock::time_point stopped = Clock::now();
    while (foundOn(finder, gone) != nullptr && secondsSince(stopped) < 5.0) {
        finder.probe();
        finder.receive(100);
    }
    EXPECT_EQ(foundOn(finder, gone), nullptr);
    EXPECT_GE(secondsSince(stopped), LanFinder::kForgetSeconds - 0.2);
    EXPECT_EQ(finder.size(), 2u);
}

TEST(DiscoveryTest, AnAnswerIsNeverLargerThanItsRequestAndAShortRequestGetsNone) {
    Hosted hosted(named("A name far longer than any the game keeps"));
    ASSERT_TRUE(hosted.server);
    const std::uint16_t port = hosted.server->port();
    UdpSocket asker;
    ASSERT_TRUE(asker.ok());
    const discovery::Request asked = request(7);
    const std::vector<std::uint8_t> bytes(asked.begin(), asked.end());
    for (std::size_t size :
         {std::size_t{0}, discovery::kMagicBytes, discovery::kMaxAnswerBytes, bytes.size() - 1}) {
        asker.sendTo(port, bytes.data(), size);
        EXPECT_TRUE(asker.receive(0.2).empty()) << "a request of " << size << " bytes";
    }
    for (std::size_t size : {bytes.size(), bytes.size() + 1, std::size_t{1400}}) {
        std::vector<std::uint8_t> padded(bytes);
        padded.resize(size, 0x5A);
        asker.sendTo(port, padded.data(), padded.size());
        const auto answers = asker.receive(0.3);
        ASSERT_EQ(answers.size(), 1u) << "a request of " << size << " bytes";
        EXPECT_LE(answers[0].first.size(), size);
        discovery::Answer answer;
        ASSERT_TRUE(
            discovery::readAnswer(answers[0].first.data(), answers[0].first.size(), answer));
        EXPECT_EQ(answer.nonce, 7u);
        EXPECT_STREQ(answer.name.data(), "A name far longe");
    }
    // An answer, or anything else marked, is never answered: two servers cannot be set talking.
    discovery::Answer about;
    discovery::AnswerBytes answer;
    const std::size_t answerSize = discovery::writeAnswer(about, answer);
    std::vector<std::uint8_t> asAnswer(answer.begin(), answer.begin() + answerSize);
    asAnswer.resize(discovery::kRequestBytes, 0);
    asker.sendTo(port, asAnswer.data(), asAnswer.size());
    EXPECT_TRUE(asker.receive(0.2).empty());
    // The longest answer there can be still fits in the smallest request.
    about.name.fill('W');
    about.name.back() = '\0';
    about.arena.fill('W');
    about.arena.back() = '\0';
    EXPECT_LE(discovery::writeAnswer(about, answer), discovery::kRequestBytes);
}

TEST(DiscoveryTest, TenThousandRequestsASecondFromOneAddressGetAtMostTheRateLimit) {
    Hosted hosted(named("Flooded"));
    ASSERT_TRUE(hosted.server);
    const std::uint16_t port = hosted.server->port();
    constexpr int kLimit = DiscoveryResponder::Limits().perAddress;
    UdpSocket flooder(0x7F000A01u); // 127.0.10.1
    ASSERT_TRUE(flooder.ok());
    // 9,000 at 10,000 a second: within one second of the first.
    const Clock::time_point start = Clock::now();
    std::size_t answers = 0;
    for (int sent = 0; sent < 9000; ++sent) {
        const discovery::Request asked = request(static_cast<std::uint64_t>(sent));
        flooder.sendTo(port, asked.data(), asked.size());
        if (sent % 100 == 99) {
            answers += flooder.receive(0.0).size();
            while (secondsSince(start) < (sent + 1) / 10000.0) {
                std::this_thread::yield();
            }
        }
    }
    answers += flooder.receive(0.05).size();
    EXPECT_GE(answers, 1u);
    EXPECT_LE(answers, static_cast<std::size_t>(kLimit));

    // Forty addresses asking ten times each at once: the server's limit holds them together.
    constexpr int kTotal = DiscoveryResponder::Limits().perServer;
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    std::vector<std::unique_ptr<UdpSocket>> crowd;
    for (std::uint32_t i = 0; i < 40; ++i) {
        crowd.push_back(std::make_unique<UdpSocket>(0x7F001400u + i + 1)); // 127.0.20.x
        ASSERT_TRUE(crowd.back()->ok());
    }
    for (int round = 0; round < kLimit; ++round) {
        for (const auto& asker : crowd) {
            const discovery::Request asked = request(1);
            asker->sendTo(port, asked.data(), asked.size());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::size_t together = 0;
    for (const auto& asker : crowd) {
        together += asker->receive(0.02).size();
    }
    EXPECT_LE(together, static_cast<std::size_t>(kTotal));
    EXPECT_GT(together, static_cast<std::size_t>(kTotal / 2))
        << "no address held to less than its own";
}

TEST(DiscoveryTest, AServerWithoutDiscoveryAnswersNone) {
    ServerOptions options = named("Hidden");
    options.discovery = false;
    Hosted hidden(options);
    ASSERT_TRUE(hidden.server);
    Hosted shown(named("Shown"));
    ASSERT_TRUE(shown.server);
    LanFinder finder(kFirstPort);
    find(finder, 2, 0.6);
    ASSERT_EQ(finder.size(), 1u);
    EXPECT_STREQ(finder[0].about.name.data(), "Shown");
    // It heard the requests and still plays: a client joins.
    netplay::Client person(hidden.server->port());
    EXPECT_TRUE(netplay::play({&person}, 10.0, [&] { return person.game.joined(); }));
    hidden.thread.reset();
    EXPECT_GT(hidden.server->discoveryCounts().overBudget, 0u);
    EXPECT_EQ(hidden.server->discoveryCounts().answered, 0u);
}

// Junk marked as discovery, of every length and kind but a request's: never answered, never
// read by ENet's side of the gate, and the server answers the next real request as ever.
TEST(DiscoveryTest, MarkedJunkGetsNoAnswerAndNeverReachesEnet) {
    Hosted hosted(named("Target"));
    ASSERT_TRUE(hosted.server);
    const std::uint16_t port = hosted.server->port();
    UdpSocket attacker(0x7F001E01u); // 127.0.30.1
    ASSERT_TRUE(attacker.ok());
    std::mt19937 random(7);
    constexpr int kJunk = 2000;
    for (int sent = 0; sent < kJunk; ++sent) {
        const discovery::Request real = request(random());
        std::vector<std::uint8_t> junk(real.begin(), real.end());
        junk.resize(discovery::kMagicBytes + random() % 300, 0);
        for (std::size_t i = discovery::kMagicBytes; i < junk.size(); ++i) {
            junk[i] = static_cast<std::uint8_t>(random());
        }
        if (junk.size() >= discovery::kRequestBytes &&
            junk[discovery::kMagicBytes] == discovery::kRequestKind) {
            junk[discovery::kMagicBytes + 1] = discovery::kFormat + 1;
        }
        attacker.sendTo(port, junk.data(), junk.size());
        if (sent % 200 == 199) {
            EXPECT_TRUE(attacker.receive(0.01).empty());
        }
    }
    EXPECT_TRUE(attacker.receive(0.2).empty());
    const discovery::Request asked = request(99);
    UdpSocket asker;
    asker.sendTo(port, asked.data(), asked.size());
    EXPECT_EQ(asker.receive(0.3).size(), 1u);
    hosted.thread.reset();
    EXPECT_EQ(hosted.server->discoveryCounts().answered, 1u);
    EXPECT_GT(hosted.server->discoveryCounts().malformed, static_cast<std::uint64_t>(kJunk / 2))
        << "most of it read (a full socket buffer may lose some)";
    EXPECT_EQ(hosted.server->gateCounts().dropped, 0u) << "none of it read as ENet's";
}

// A liar on one of the ports: answers to no request, cut short, oversized, of another format,
// or with names the font cannot draw. Only a whole answer to the finder's own request is taken,
// cleaned; the rest changes nothing.
TEST(DiscoveryTest, TheFinderTakesOnlyWholeAnswersToItsOwnRequests) {
    UdpSocket liar(INADDR_ANY, kFirstPort + 3); // broadcasts reach only a socket bound to any
    ASSERT_TRUE(liar.ok());
    LanFinder finder(kFirstPort);
    finder.probe();
    const auto asked = liar.receive(0.5);
    ASSERT_FALSE(asked.empty());
    const std::vector<std::uint8_t>& ask = asked[0].first;
    std::uint64_t nonce = 0;
    ASSERT_TRUE(discovery::readRequest(ask.data(), ask.size(), nonce));
    const std::uint16_t finderPort = asked[0].second;

    discovery::Answer about;
    about.nonce = nonce + 1;
    about.serverId = 42;
    about.seats = 8;
    about.persons = 3;
    about.mode = Mode::Battle;
    discovery::AnswerBytes bytes;
    std::size_t size = discovery::writeAnswer(about, bytes);
    liar.sendTo(finderPort, bytes.data(), size); // another nonce
    about.nonce = nonce;
    size = discovery::writeAnswer(about, bytes);
    liar.sendTo(finderPort, bytes.data(), size - 1); // cut short
    std::vector<std::uint8_t> longer(bytes.begin(), bytes.begin() + size);
    longer.push_back(0);
    liar.sendTo(finderPort, longer.data(), longer.size()); // a byte too many
    std::vector<std::uint8_t> huge(3000, 0xFF);
    liar.sendTo(finderPort, huge.data(), huge.size());
    std::vector<std::uint8_t> format(bytes.begin(), bytes.begin() + size);
    format[discovery::kMagicBytes + 1] = discovery::kFormat + 1;
    liar.sendTo(finderPort, format.data(), format.size());
    std::vector<std::uint8_t> crowded(bytes.begin(), bytes.begin() + size);
    crowded[discovery::kMagicBytes + 2 + 8 + 8 + 4 + 3] = 9; // nine persons in eight seats
    liar.sendTo(finderPort, crowded.data(), crowded.size());
    finder.receive(100);
    EXPECT_EQ(finder.size(), 0u);

    // A whole answer with control characters in its name and an empty arena's: taken, cleaned.
    std::copy_n("Evil", 4, about.name.begin());
    about.arena = discovery::ArenaName{};
    size = discovery::writeAnswer(about, bytes);
    constexpr std::size_t kNameAt = discovery::kMagicBytes + 2 + 8 + 8 + 4 + 5 + 1;
    bytes[kNameAt] = 0x1B;
    bytes[kNameAt + 3] = 0x7F;
    bytes[size - 2] = 0; // the arena's length: its one character gone
    liar.sendTo(finderPort, bytes.data(), size - 1);
    finder.receive(100);
    ASSERT_EQ(finder.size(), 1u);
    EXPECT_STREQ(finder[0].about.name.data(), "?vi?");
    EXPECT_STREQ(finder[0].about.arena.data(), "?");
    EXPECT_EQ(finder[0].about.persons, 3);
    EXPECT_EQ(finder[0].port, kFirstPort + 3);
}

// Random and mutated requests and answers: every read either refuses or gives values in range;
// the sanitizers watch every byte.
TEST(DiscoveryTest, FuzzedRequestsAndAnswersAreRefusedOrReadCleaned) {
    std::mt19937 random(2026);
    discovery::Answer about;
    about.nonce = 1;
    about.seats = 4;
    about.persons = 2;
    std::copy_n("Server", 6, about.name.begin());
    std::copy_n("Arena", 5, about.arena.begin());
    discovery::AnswerBytes valid;
    const std::size_t validSize = discovery::writeAnswer(about, valid);
    const discovery::Request validRequest = request(5);
    int answersRead = 0;
    int requestsRead = 0;
    for (int round = 0; round < 20000; ++round) {
        const bool asAnswer = round % 2 == 0;
        std::vector<std::uint8_t> bytes =
            asAnswer ? std::vector<std::uint8_t>(valid.begin(), valid.begin() + validSize)
                     : std::vector<std::uint8_t>(validRequest.begin(), validRequest.end());
        switch (random() % 4) {
        case 0: // random bytes behind the magic
            bytes.resize(random() % 200);
            for (std::size_t i = discovery::kMagicBytes; i < bytes.size(); ++i) {
                bytes[i] = static_cast<std::uint8_t>(random());
            }
            break;
        case 1: // a few bytes changed
            for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips) {
                bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
            }
            break;
        case 2: // cut
            bytes.resize(random() % (bytes.size() + 1));
            break;
        default: // grown
            bytes.resize(bytes.size() + 1 + random() % 64, static_cast<std::uint8_t>(random()));
            break;
        }
        discovery::Answer answer;
        if (discovery::readAnswer(bytes.data(), bytes.size(), answer)) {
            ++answersRead;
            EXPECT_TRUE(player_name::valid(answer.name.data()));
            const std::string arena = answer.arena.data();
            EXPECT_FALSE(arena.empty());
            EXPECT_TRUE(std::all_of(arena.begin(), arena.end(),
                                    [](char c) { return c >= ' ' && c <= '~'; }));
            EXPECT_GE(answer.seats, MatchSetup::kMinSeats);
            EXPECT_LE(answer.seats, MatchSetup::kMaxSeats);
            EXPECT_GE(answer.persons, 0);
            EXPECT_LE(answer.persons, answer.seats);
        }
        std::uint64_t nonce = 0;
        if (discovery::readRequest(bytes.data(), bytes.size(), nonce)) {
            ++requestsRead;
            EXPECT_GE(bytes.size(), discovery::kRequestBytes);
        }
    }
    EXPECT_GT(answersRead, 100) << "the mutations left some answers whole";
    EXPECT_GT(requestsRead, 100);
}

} // namespace
