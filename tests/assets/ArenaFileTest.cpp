// Arena files: the shipped file of the built-in arena plays as it does, to the bit; broken and
// hostile files are refused with one line and the built-in arena, or play soundly.
#include "support/TempFiles.h"

#include "assets/ArenaFile.h"
#include "game/Match.h"
#include "game/StateCodec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>

namespace {

const std::string kShippedClassic = "../Brakkel_game/Arenas/classic.toml";

// The player's commands: drive, turn and fire in a pattern that crosses the arena.
TankCommand scripted(int tick) {
    TankCommand command;
    command.drive = static_cast<std::int16_t>(tick % 500 < 320 ? 220 : -180);
    command.turn = static_cast<std::int16_t>(tick % 260 < 70 ? 9000 : 0);
    command.aim = TankCommand::aimOf(static_cast<float>(tick % 360));
    command.jump = tick % 210 == 0;
    command.fire = tick % 40 == 0;
    return command;
}

int lineCount(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// Plays ticks of a duel against the computer on the arena; false as soon as a tank stands
// anywhere but at finite places.
bool playsSoundly(const Arena& arena, int ticks) {
    Match match(MatchSetup::duel(), 7u, {Driver::Human, Driver::Computer}, arena);
    EventList events;
    for (int tick = 0; tick < ticks; ++tick) {
        events.clear();
        match.step({scripted(tick), {}}, events);
        for (int seat = 0; seat < match.seatCount(); ++seat) {
            const glm::vec3 p = match.tank(seat).position;
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
                return false;
            }
        }
    }
    return true;
}

TEST(ArenaFileTest, TheShippedClassicFilePlaysBitForBitLikeTheBuiltInArena) {
    std::ostringstream errors;
    const Arena loaded = ArenaFile::load(kShippedClassic, errors);
    ASSERT_EQ(errors.str(), "");
    const Arena builtIn = Arena::standard();
    EXPECT_EQ(loaded.name, "Classic");
    ASSERT_EQ(loaded.pieces.size(), 21u);
    ASSERT_EQ(loaded.spawns.size(), 8u);
    EXPECT_EQ(loaded.hash(), builtIn.hash());
    EXPECT_EQ(ArenaFile::write(loaded), ArenaFile::write(builtIn));
    for (std::size_t i = 0; i < loaded.spawns.size(); ++i) {
        EXPECT_EQ(loaded.spawns[i].floor, builtIn.spawns[i].floor) << "spawn " << i + 1;
    }

    // A recorded duel against the computer, played on both.
    Match fromFile(MatchSetup::duel(), 2026u, {Driver::Human, Driver::Computer}, loaded);
    Match fromCode(2026u);
    EventList events;
    int hits = 0;
    for (int tick = 0; tick < 3000; ++tick) {
        events.clear();
        fromFile.step({scripted(tick), {}}, events);
        events.clear();
        fromCode.step({scripted(tick), {}}, events);
        for (const GameEvent& event : events) {
            hits += event.type == GameEventType::TankHit;
        }
        ASSERT_EQ(state_codec::hash(fromFile.state), state_codec::hash(fromCode.state))
            << "at tick " << tick;
    }
    EXPECT_GT(hits, 0) << "the duel was fought";
}

TEST(ArenaFileTest, EachFaultIsOneLineNamingTheFileTheEntryAndTheFault) {
    const TempDir dir;
    const std::string text = readFile(kShippedClassic);
    ASSERT_FALSE(text.empty());
    const auto refusal = [&](const std::string& changed) {
        const std::string path = dir.write("arena.toml", changed);
        std::ostringstream errors;
        const Arena arena = ArenaFile::load(path, errors);
        EXPECT_EQ(arena.hash(), Arena::standard().hash());
        const std::string line = errors.str();
        EXPECT_EQ(lineCount(line), 1) << line;
        const std::string head = "Arena: " + path + ": ";
        EXPECT_EQ(line.rfind(head, 0), 0u) << line;
        return line.substr(std::min(line.size(), head.size()));
    };
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string changed = text;
        const std::size_t at = changed.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return changed.replace(at, from.size(), to);
    };

    // The first spawn point moved into the middle block.
    EXPECT_EQ(refusal(replaced("position = [0, 0.05, 5]", "position = [0, 0.05, 0.5]")),
              "spawn 1: is inside a piece; playing Classic instead\n");
    EXPECT_EQ(refusal(replaced("turn = 90", "turn = nan")),
              "piece 8: turn must be numbers from -360 to 360; playing Classic instead\n");
    EXPECT_EQ(refusal(replaced("turn = 90", "tilt = 90")),
              "piece 8: unknown key 'tilt'; playing Classic instead\n");
    EXPECT_EQ(refusal(replaced("kind = \"wall\"", "kind = 3")),
              "piece 2: kind must be \"ground\" or \"wall\"; playing Classic instead\n");
    EXPECT_EQ(refusal(replaced("size = [20, 2.5, 0.6]", "size = [20, 1e300, 0.6]")),
              "piece 2: size must be numbers from 0.01 to 40; playing Classic instead\n");
    EXPECT_EQ(refusal("background = \"stars\"\n" + text),
              "file: unknown key 'background'; playing Classic instead\n");
    EXPECT_EQ(refusal(replaced("position = [-10, -0.1, 0.3]", "position = [-10, -0.1, 50.3]")),
              "piece 6: reaches past 60 units from the middle; playing Classic instead\n");
    EXPECT_EQ(refusal(text.substr(0, text.size() / 2) + "[[spawn").rfind("line ", 0), 0u);

    // 100,000 pieces: far past the size a file may have.
    std::string many = text;
    for (int i = 0; i < 100000; ++i) {
        many += "[[piece]]\nkind = \"wall\"\nposition = [1, 0, 1]\nsize = [1, 1, 1]\n";
    }
    EXPECT_EQ(refusal(many), "file: larger than 65536 bytes; playing Classic instead\n");
    // 300 small ones fit in the size but not in the count.
    std::string count = text;
    for (int i = 0; i < 300; ++i) {
        count += "[[piece]]\nkind=\"wall\"\nposition=[1,0,1]\nsize=[1,1,1]\n";
    }
    EXPECT_EQ(refusal(count),
              "piece: must be 1 to 256 [[piece]] tables; playing Classic instead\n");
}

// One of the ways a file goes wrong, applied at random places.
std::string mutated(const std::string& text, std::mt19937& random) {
    const auto pick = [&random](std::size_t size) {
        return std::uniform_int_distribution<std::size_t>(0, size - 1)(random);
    };
    std::string changed = text;
    const std::size_t at = pick(changed.size());
    switch (pick(7)) {
    case 0: // cut short
        return changed.substr(0, at);
    case 1: // random bytes
        for (int i = 0; i < 1 + static_cast<int>(pick(8)); ++i) {
            changed[pick(changed.size())] = static_cast<char>(pick(256));
        }
        return changed;
    case 2: { // a number made huge, not a number, endless or negative
        const char* const kNumbers[] = {"1e38", "nan", "-inf", "1e400", "-61", "123456789012"};
        const std::size_t digit = changed.find_first_of("0123456789", at);
        if (digit == std::string::npos) {
            return changed;
        }
        const std::size_t end = changed.find_first_of(",]\n", digit);
        return changed.replace(digit, end - digit, kNumbers[pick(6)]);
    }
    case 3: { // a spawn point moved somewhere at random
        const std::size_t spawn = changed.find("[[spawn]]", at);
        const std::size_t place =
            changed.find("position = [", spawn == std::string::npos ? 0 : spawn);
        const std::size_t end = changed.find(']', place);
        std::uniform_real_distribution<float> coordinate(-20.0f, 30.0f);
        return changed.replace(place, end - place + 1,
                               "position = [" + std::to_string(coordinate(random)) + ", 0.05, " +
                                   std::to_string(coordinate(random)) + "]");
    }
    case 4: { // an unknown key in a table
        const std::size_t line = changed.find('\n', at);
        return line == std::string::npos ? changed + "\nwhat = 1\n"
                                         : changed.insert(line + 1, "colour = \"red\"\n");
    }
    case 5: { // a value of the wrong type
        const std::size_t equals = changed.find("= ", at);
        const std::size_t end = changed.find('\n', equals);
        if (equals == std::string::npos || end == std::string::npos) {
            return changed;
        }
        const char* const kValues[] = {"\"text\"",  "true",       "[1, 2]",
                                       "{ a = 1 }", "2026-01-01", "[[1, 2, 3]]"};
        return changed.replace(equals + 2, end - equals - 2, kValues[pick(6)]);
    }
    default: { // a piece repeated many times
        std::string piece = "\n[[piece]]\nkind = \"wall\"\nposition = [" +
                            std::to_string(static_cast<int>(pick(40)) - 20) +
                            ", 0, 3]\nsize = [2, 2, 2]\n";
        for (std::size_t i = 0, times = pick(400); i < times; ++i) {
            changed += piece;
        }
        return changed;
    }
    }
}

TEST(ArenaFileTest, FiveHundredMutatedFilesAreRefusedWithOneLineOrPlaySoundly) {
    const TempDir dir;
    const std::string text = readFile(kShippedClassic);
    ASSERT_FALSE(text.empty());
    std::mt19937 random(32u);
    int refused = 0;
    int played = 0;
    for (int round = 0; round < 500; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string path = dir.write("arena.toml", mutated(text, random));
        std::ostringstream errors;
        const Arena arena = ArenaFile::load(path, errors);
        if (errors.str().empty()) {
            ASSERT_TRUE(playsSoundly(arena, 300));
            ++played;
        } else {
            ASSERT_EQ(lineCount(errors.str()), 1) << errors.str();
            ASSERT_EQ(errors.str().rfind("Arena: " + path + ": ", 0), 0u) << errors.str();
            ASSERT_EQ(arena.hash(), Arena::standard().hash());
            ++refused;
        }
    }
    // Both outcomes are met often: the mutations are neither all fatal nor all harmless.
    EXPECT_GT(refused, 150);
    EXPECT_GT(played, 30);
}

} // namespace
