// A battle's texts from the player's chase camera: names float over the tanks the player could
// see, never over one behind a wall or far away, and never through the radar.
#include "client/GameClient.h"
#include "scene/ScreenTexts.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr int kSecond = 60; // ticks

class BattleTextsTest : public ::testing::Test {
protected:
    BattleTextsTest() : client(3u, nullptr, nullptr, battle()) {
        input.keyEvent(keys::kEnter, KeyAction::Press);
        input.keyEvent(keys::kEnter, KeyAction::Release);
        client.tick(input);
    }

    static Settings battle() {
        Settings settings;
        settings.mode = Mode::Battle;
        settings.tanks = 3;
        return settings;
    }

    // The texts of a frame drawn now, the radar shown or not.
    void build(bool radar = false) {
        client.tick(input);
        TextOptions options;
        options.radar = radar;
        options.camera = true;
        options.viewProjection = GameClient::projection() * client.view(1.0f);
        options.eye = client.eyeAt(1.0f);
        texts.build(client, options);
    }
    const TextLine* line(const char* text) const {
        for (const TextLine& each : texts) {
            if (std::strcmp(each.text, text) == 0) {
                return &each;
            }
        }
        return nullptr;
    }
    // Stands the seat's tank at place and keeps it there: its controller's own moves are undone
    // at every look.
    void stand(int seat, glm::vec3 place) {
        Tank& tank = client.flow->match.tank(seat);
        tank.placeAt(place, 0.0f, client.flow->match.arena.floorAt(place.x, place.z));
        tank.settle();
    }

    GameClient client;
    InputState input;
    ScreenTexts texts;
};

TEST_F(BattleTextsTest, NamesShowOverTheTanksInSightAndNoneBehindAWall) {
    ASSERT_TRUE(client.matchRunning());
    // The player at its start looks along -z over the middle block, which is 1.5 high.
    stand(1, glm::vec3(-6.0f, 0.05f, -6.0f));
    stand(2, glm::vec3(5.0f, 0.05f, 8.0f)); // behind the player, out of the view
    build();
    const TextLine* seen = line(client.seatName(1));
    ASSERT_NE(seen, nullptr) << "Badger in the open ahead";
    EXPECT_EQ(line(client.seatName(2)), nullptr) << "Cobalt behind the camera";
    EXPECT_EQ(line(client.seatName(0)), nullptr) << "never the player's own";
    // Over the tank: left of the middle of the window and above its middle.
    EXPECT_LT(seen->x, kWindowWidth / 2);
    EXPECT_GT(seen->y, kWindowHeight / 2);

    // Just past the far wall, 2.4 high, that the camera looks at: hidden.
    stand(1, glm::vec3(-5.0f, 0.05f, -12.0f));
    build();
    EXPECT_EQ(line(client.seatName(1)), nullptr) << "Badger behind the wall";
    stand(1, glm::vec3(-5.0f, 0.05f, -8.0f));
    build();
    EXPECT_NE(line(client.seatName(1)), nullptr) << "Badger before the wall";

    // Far off on the raised level, in sight but out of range.
    stand(1, glm::vec3(26.0f, 1.14f, -28.0f));
    build();
    EXPECT_EQ(line(client.seatName(1)), nullptr) << "Badger out of range";
}

TEST_F(BattleTextsTest, TheScoreboardAndTheLineOfABattle) {
    for (int tick = 0; tick < 2 * kSecond; ++tick) {
        client.tick(input);
    }
    client.flow->match.seat(2).frags = 4;
    client.flow->match.seat(2).deaths = 1;
    input.keyEvent(keys::kTab, KeyAction::Press);
    build();
    EXPECT_NE(line("  NAME              TEAM    FRAGS DEATHS   RTT"), nullptr);
    const TextLine* first = nullptr;
    for (const TextLine& each : texts) {
        if (std::strstr(each.text, "Cobalt") != nullptr) {
            first = &each;
        }
    }
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->text, "  Cobalt            -           4      1     -");
    EXPECT_NE(line("> Player            -           0      0     -"), nullptr);
    EXPECT_NE(line("Frags 0  Deaths 0   4:58"), nullptr);

    input.keyEvent(keys::kTab, KeyAction::Release);
    build();
    EXPECT_EQ(line("  NAME              TEAM    FRAGS DEATHS   RTT"), nullptr);
}

} // namespace
