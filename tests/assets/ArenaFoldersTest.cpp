// Arena files found by name in the game's folder and the player's, and the cache of arenas
// servers sent: kept under their hashes alone, the oldest going once the cache is over its cap.
#include "assets/ArenaFolders.h"
#include "assets/ArenaCache.h"
#include "assets/ArenaFile.h"
#include "support/TempFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace {

TEST(ArenaFoldersTest, ThePlayersFilesJoinTheGamesAndStandInForThemByName) {
    TempDir player;
    const std::string maze = readFile(std::string(ArenaFolders::kGameFolder) + "/maze.toml");
    ASSERT_FALSE(maze.empty());
    player.write("maze.toml", maze);
    player.write("my arena.toml", maze);
    player.write(".hidden.toml", maze);
    player.write("notes.txt", "not an arena");
    fs::create_directory(player.path() + "/folder.toml");
    const ArenaFolders folders({ArenaFolders::kGameFolder, player.path(), "/no/such/folder"});
    EXPECT_EQ(folders.names(),
              (std::vector<std::string>{"classic", "maze", "my arena", "pillars", "towers"}));
    EXPECT_EQ(folders.find("maze"), (fs::path(player.path()) / "maze.toml").string());
    EXPECT_EQ(folders.find("towers"),
              (fs::path(ArenaFolders::kGameFolder) / "towers.toml").string());
    for (const char* outside : {"../maze", "", ".hidden", "folder", "notes", "/etc/passwd"}) {
        EXPECT_EQ(folders.find(outside), "") << outside;
    }
    // A command line's FILE is taken as it is; a NAME is looked up.
    const std::string file = player.path() + "/notes.txt";
    EXPECT_EQ(folders.resolve(file), file);
    EXPECT_EQ(folders.resolve("pillars"), folders.find("pillars"));

    std::ostringstream errors;
    EXPECT_EQ(folders.load("my arena", errors).hash(), folders.load("maze", errors).hash());
    EXPECT_EQ(folders.load("", errors).hash(), Arena::standard().hash());
    EXPECT_EQ(errors.str(), "");
    EXPECT_EQ(folders.load("gone", errors).hash(), Arena::standard().hash());
    EXPECT_EQ(errors.str(),
              "Arena: gone: no such arena file in the arena folders; playing Classic instead\n");
}

TEST(ArenaFoldersTest, TheCacheKeepsFilesUnderTheirHashesWithinItsCap) {
    TempDir home;
    const std::string folder = home.path() + "/cache/arenas";
    std::ostringstream errors;
    ArenaCache cache(folder, errors);
    // Forty files of 40 KiB, each kept a second after the one before: 1.6 MB against a cap of
    // 1 MiB.
    constexpr int kFiles = 40;
    const std::string file(40 * 1024, 'x');
    const auto pathOf = [&](int i) {
        return folder + "/" + ArenaCache::fileName(0xA0000000ull + static_cast<unsigned>(i));
    };
    const fs::file_time_type start = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (int i = 0; i < kFiles; ++i) {
        cache.keep(0xA0000000ull + static_cast<unsigned>(i), file);
        ASSERT_TRUE(fs::exists(pathOf(i))) << i;
        fs::last_write_time(pathOf(i), start + std::chrono::seconds(i));
        if (i == 30) {
            // The first file is played again: used now, it outlasts the ones after it.
            cache.keep(0xA0000000ull, file);
        }
    }
    EXPECT_EQ(errors.str(), "");
    std::uintmax_t total = 0;
    int kept = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        total += entry.file_size();
        ++kept;
    }
    EXPECT_LE(total, ArenaCache::kMaxBytes);
    EXPECT_EQ(kept, static_cast<int>(ArenaCache::kMaxBytes / file.size()));
    EXPECT_TRUE(fs::exists(pathOf(kFiles - 1)));
    EXPECT_TRUE(fs::exists(pathOf(0)));
    EXPECT_FALSE(fs::exists(pathOf(1)));
    EXPECT_EQ(readFile(pathOf(kFiles - 1)), file);
    EXPECT_EQ(ArenaCache::fileName(0x0123456789ABCDEFull), "0123456789abcdef.toml");

    // Nowhere to keep it: one line, and the game goes on.
    ArenaCache nowhere(home.path() + "/cache/arenas/" + ArenaCache::fileName(0xA0000000ull + 39) +
                           "/below",
                       errors);
    nowhere.keep(1, file);
    const std::string said = errors.str();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}

} // namespace
