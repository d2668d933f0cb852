// The game as the player has it: the title's live backdrop, the camera after the tick's
// collisions, and recordings that replay the same game, whatever the file holds.
#include "client/GameClient.h"
#include "client/Recording.h"
#include "client/RecordingWriter.h"
#include "game/StateCodec.h"
#include "platform/Keys.h"
#include "support/TempFiles.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::uint64_t kSeed = 31u;
constexpr int kSecond = 60; // ticks

void tap(InputState& input, int key) {
    input.keyEvent(key, KeyAction::Press);
    input.keyEvent(key, KeyAction::Release);
}

// A short game as a player plays it: the title for titleTicks, ENTER, then driving, turning,
// the turret, shots and a jump, L, ENTER for a second match and some more.
void playAGame(GameClient& client, int titleTicks) {
    InputState input;
    for (int tick = 0; tick < titleTicks; ++tick) {
        client.tick(input);
    }
    tap(input, keys::kEnter);
    for (int tick = 0; tick < 6 * kSecond; ++tick) {
        const bool driving = tick < 4 * kSecond;
        input.keyEvent(keys::kW, driving ? KeyAction::Press : KeyAction::Release);
        input.keyEvent(keys::kA, tick % 90 < 30 ? KeyAction::Press : KeyAction::Release);
        input.keyEvent(keys::kQ, tick % 70 < 20 ? KeyAction::Press : KeyAction::Release);
        if (tick % 40 == 0) {
            input.buttonEvent(buttons::kLeft, KeyAction::Press);
            input.buttonEvent(buttons::kLeft, KeyAction::Release);
        }
        if (tick == 100) {
            tap(input, keys::kSpace);
        }
        if (tick == 5 * kSecond) {
            tap(input, keys::kL);
        }
        if (tick == 5 * kSecond + 20) {
            tap(input, keys::kEnter);
        }
        client.tick(input);
    }
}

TEST(GameClientTest, TheTitleShowsALiveMatchAndEnterStartsThePlayersFromTheStart) {
    GameClient client(kSeed, nullptr, nullptr);
    InputState input;
    const glm::vec3 starts[] = {client.attract.match().tank(0).position,
                                client.attract.match().tank(1).position};
    const glm::vec3 eye = client.eyeAt(1.0f);
    for (int tick = 0; tick < 5 * kSecond; ++tick) {
        client.tick(input);
    }
    EXPECT_TRUE(client.showingTitle());
    EXPECT_EQ(&client.shownMatch(), &client.attract.match());
    for (int seat = 0; seat < client.flow->seatCount(); ++seat) {
        EXPECT_GE(glm::length(client.attract.match().tank(seat).position - starts[seat]), 1.0f);
    }
    EXPECT_GT(glm::length(client.eyeAt(1.0f) - eye), 1.0f) << "the title's camera circles";

    tap(input, keys::kEnter);
    client.tick(input);
    EXPECT_FALSE(client.showingTitle());
    EXPECT_EQ(&client.shownMatch(), &client.flow->match);
    EXPECT_EQ(client.flow->match.state.tick, 1u);
    const Match fresh(kSeed);
    for (int seat = 0; seat < client.flow->seatCount(); ++seat) {
        EXPECT_EQ(client.flow->match.tank(seat).previousPose.position, fresh.tank(seat).position);
        EXPECT_EQ(client.flow->match.tank(seat).lives, 5);
    }
}

// Backing into the wall behind the start: every tick the camera looks at where the tick's
// collisions left the tank, never where its move would have taken it.
TEST(GameClientTest, TheCameraFollowsTheTankWhereTheCollisionsLeftIt) {
    GameClient client(kSeed, nullptr, nullptr);
    InputState input;
    tap(input, keys::kEnter);
    input.keyEvent(keys::kS, KeyAction::Press);
    int blocked = 0;
    for (int tick = 0; tick < 4 * kSecond; ++tick) {
        client.tick(input);
        const Tank& tank = client.flow->match.tank(GameClient::kPlayerSeat);
        blocked += tank.blocked;
        ASSERT_EQ(client.camera.target.x, tank.position.x) << tick;
        ASSERT_EQ(client.camera.target.z, tank.position.z) << tick;
    }
    EXPECT_GT(blocked, 10) << "the tank backed into the wall";
}

TEST(GameClientTest, AReplayPlaysTheSameGameWhetherOrNotTheTitleRanBeforeIt) {
    TempDir dir;
    const std::string path = dir.path() + "/game.bkrc";
    std::uint64_t recordedHash = 0;
    {
        RecordingWriter writer(path);
        ASSERT_TRUE(writer.opened());
        GameClient client(kSeed, nullptr, &writer);
        playAGame(client, 5 * kSecond);
        testing::internal::CaptureStdout();
        client.finish();
        const std::string line = testing::internal::GetCapturedStdout();
        recordedHash = state_codec::hash(client.flow->match.state);
        char expected[80];
        std::snprintf(expected, sizeof expected, "Replay state hash: %016llx at tick %u\n",
                      static_cast<unsigned long long>(recordedHash), client.flow->match.state.tick);
        EXPECT_EQ(line, expected);
        EXPECT_EQ(client.exitStatus(), 0);
    }
    // The same input straight after the start: the title's backdrop changes nothing.
    GameClient direct(kSeed, nullptr, nullptr);
    playAGame(direct, 1);
    EXPECT_EQ(state_codec::hash(direct.flow->match.state), recordedHash);

    Recording recording;
    std::string error;
    ASSERT_TRUE(readRecording(path, recording, error)) << error;
    EXPECT_EQ(recording.ticks.size(), 5u * kSecond + 6 * kSecond);
    EXPECT_EQ(recording.end.hash, recordedHash);
    // Replayed from a game of another seed, with the player pressing keys all the while.
    GameClient replayed(kSeed + 1, &recording, nullptr);
    InputState noise;
    noise.keyEvent(keys::kD, KeyAction::Press);
    testing::internal::CaptureStdout();
    while (!replayed.quitRequested()) {
        replayed.tick(noise);
    }
    const std::string line = testing::internal::GetCapturedStdout();
    EXPECT_NE(line.find("Replay state hash: "), std::string::npos);
    EXPECT_EQ(state_codec::hash(replayed.flow->match.state), recordedHash);
    EXPECT_EQ(replayed.exitStatus(), 0);

    // A recording whose game went otherwise than its hashes say diverges, and says where.
    Recording altered = recording;
    altered.ticks[6 * kSecond].command.drive = -TankCommand::kFullDrive;
    GameClient astray(kSeed, &altered, nullptr);
    testing::internal::CaptureStderr();
    while (!astray.quitRequested()) {
        astray.tick(noise);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("Replay diverged at tick ", 0), 0u);
    EXPECT_EQ(astray.exitStatus(), 1);
}

// Every broken file is refused with one line naming the file and the fault: missing, cut short
// anywhere, any byte changed, random bytes, another format or rules version, bytes after the
// end. None crashes.
TEST(GameClientTest, BrokenRecordingsAreRefusedWithOneLine) {
    TempDir dir;
    const std::string path = dir.path() + "/game.bkrc";
    {
        RecordingWriter writer(path);
        GameClient client(kSeed, nullptr, &writer);
        playAGame(client, 30);
        testing::internal::CaptureStdout();
        client.finish();
        testing::internal::GetCapturedStdout();
    }
    const std::string whole = readFile(path);
    Recording recording;
    std::string error;
    const auto refused = [&](const std::string& bytes, const char* fault) {
        const std::string broken = dir.write("broken.bkrc", bytes);
        const bool read = readRecording(broken, recording, error);
        EXPECT_FALSE(read) << fault;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_NE(error.find(broken), std::string::npos) << error;
        if (fault[0] != '\0') {
            EXPECT_NE(error.find(fault), std::string::npos) << error;
        }
        EXPECT_TRUE(recording.ticks.empty());
    };
    EXPECT_FALSE(readRecording(dir.path() + "/missing.bkrc", recording, error));
    EXPECT_EQ(error, "Cannot replay " + dir.path() + "/missing.bkrc: No such file or directory");
    for (std::size_t size = 0; size < whole.size(); size += 1 + size / 9) {
        refused(whole.substr(0, size), size < 4 ? "not a Brakkel recording" : "");
    }
    refused(whole.substr(0, whole.size() / 2), "cut short");
    std::mt19937 random(5u);
    for (int i = 0; i < 300; ++i) {
        std::string changed = whole;
        const std::size_t at = random() % changed.size();
        changed[at] = static_cast<char>(changed[at] ^ (1 + random() % 255));
        refused(changed, "");
    }
    for (int i = 0; i < 30; ++i) {
        std::string noise(random() % 4096, '\0');
        for (char& c : noise) {
            c = static_cast<char>(random());
        }
        refused(noise, "not a Brakkel recording");
    }
    std::string future = whole;
    future[4] = 9;
    refused(future, "format version 9, this game reads version 2");
    std::string otherRules = whole;
    otherRules[6] = 42;
    refused(otherRules, "rules version 42");
    refused(whole + "x", "bytes follow its end");
    EXPECT_TRUE(readRecording(path, recording, error)) << error;
}

TEST(GameClientTest, AnEightTankBattleRecordedPlaysBackToTheSameState) {
    TempDir dir;
    const std::string path = dir.path() + "/battle.bkrc";
    Settings battle;
    battle.mode = Mode::Battle;
    battle.tanks = 8;
    battle.name = "Recorder";
    std::uint64_t recordedHash = 0;
    std::uint32_t recordedTick = 0; // the battle's last: earlier when the frag limit ended it
    int frags = 0;
    {
        RecordingWriter writer(path);
        ASSERT_TRUE(writer.opened());
        GameClient client(kSeed, nullptr, &writer, battle);
        InputState input;
        tap(input, keys::kEnter);
        for (int tick = 0; tick < 60 * kSecond; ++tick) {
            input.keyEvent(keys::kW, tick % 300 < 200 ? KeyAction::Press : KeyAction::Release);
            input.keyEvent(keys::kA, tick % 120 < 30 ? KeyAction::Press : KeyAction::Release);
            if (tick % 45 == 0) {
                input.buttonEvent(buttons::kLeft, KeyAction::Press);
                input.buttonEvent(buttons::kLeft, KeyAction::Release);
            }
            client.tick(input);
        }
        const MatchState& state = client.flow->match.state;
        ASSERT_EQ(state.mode, Mode::Battle);
        ASSERT_EQ(state.seatCount(), 8);
        EXPECT_STREQ(client.seatName(GameClient::kPlayerSeat), "Recorder");
        for (const Seat& seat : state.seats) {
            frags += seat.frags;
        }
        testing::internal::CaptureStdout();
        client.finish();
        testing::internal::GetCapturedStdout();
        recordedHash = state_codec::hash(state);
        recordedTick = state.tick;
    }
    EXPECT_GT(frags, 0) << "a battle was fought";

    // Played back by a game whose own options set up a duel, from another seed.
    Recording recording;
    std::string error;
    ASSERT_TRUE(readRecording(path, recording, error)) << error;
    GameClient replayed(kSeed + 1, &recording, nullptr);
    InputState none;
    testing::internal::CaptureStdout();
    while (!replayed.quitRequested()) {
        replayed.tick(none);
    }
    const std::string line = testing::internal::GetCapturedStdout();
    char expected[80];
    std::snprintf(expected, sizeof expected, "Replay state hash: %016llx at tick %u\n",
                  static_cast<unsigned long long>(recordedHash),
                  static_cast<unsigned>(recordedTick));
    EXPECT_EQ(line, expected);
    EXPECT_EQ(replayed.exitStatus(), 0);
}

} // namespace
