// An arena chosen on the options screen, in the real scene: the file is loaded by its name, the
// title's backdrop and the next match stand on it, and what the scene worked out of the arena
// (the radar's pieces and circle, the box around the scene, the part of the shadow map kept) is
// worked out again without a new GL object; a name whose file is gone gives one line and the
// built-in arena back. On a server's maze, with more pieces than the shipped arenas have, the
// server's arena is drawn in its matches, every piece of it on the radar, and this game's own
// behind the title.
#include "assets/ArenaCache.h"
#include "assets/ArenaFile.h"
#include "assets/ArenaFolders.h"
#include "net/ServerThread.h"
#include "support/SceneFixture.h"
#include "support/TempFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

namespace {

class SceneArenaTest : public SceneTest {
protected:
    // A key pressed and released, and the step that reads it.
    void key(int which) {
        tap(which);
        step();
    }
    // Frames a tick apart in real time until done(), at most seconds of them; false on the
    // timeout.
    template <typename Done> bool framesUntil(double seconds, Done done) {
        for (int i = 0; i < static_cast<int>(seconds * 60.0); ++i) {
            if (done()) {
                return true;
            }
            frame();
            std::this_thread::sleep_for(std::chrono::milliseconds(16));
        }
        return done();
    }
};

Arena shippedMaze() {
    std::ostringstream errors;
    Arena maze = ArenaFile::load(std::string(ArenaFolders::kGameFolder) + "/maze.toml", errors);
    EXPECT_EQ(errors.str(), "");
    return maze;
}

std::size_t radarPieces(const Arena& arena) {
    std::size_t visible = 0;
    for (const ArenaPiece& piece : arena.pieces) {
        visible += piece.visible ? 1 : 0;
    }
    return visible;
}

// The maze with a row of posts outside its walls on either side: 66 pieces to see, where the
// shipped arenas have at most 32.
Arena crowdedMaze() {
    constexpr int kPostsPerSide = 22;
    constexpr float kRowZ = 30.0f;   // units from the middle, outside the walls at 24.3
    constexpr float kSpacing = 2.5f; // units between posts
    const glm::vec3 kPost(0.5f, 2.0f, 0.5f);
    Arena arena = shippedMaze();
    for (int i = 0; i < kPostsPerSide; ++i) {
        const float x = (static_cast<float>(i) - (kPostsPerSide - 1) / 2.0f) * kSpacing;
        arena.addPiece(PieceKind::Wall, glm::vec3(x, 0.0f, -kRowZ), 0.0f, kPost);
        arena.addPiece(PieceKind::Wall, glm::vec3(x, 0.0f, kRowZ), 0.0f, kPost);
    }
    return arena;
}

TEST_F(SceneArenaTest, AnArenaChosenOnTheOptionsScreenIsDrawnFromTheNextMatch) {
    const Arena maze = shippedMaze();
    frame();
    const glm::vec2 classicCentre = scene->radar.centre;
    const glm::ivec2 classicShadow = scene->renderer.shadowMap.storedTexels();
    const GLuint shadowTexture = scene->renderer.shadowMap.depthTexture.name();

    scene->client.menu.arenas = {"maze", "towers"};
    key(keys::kO);
    while (scene->client.menu.selected != OptionsMenu::kArena) {
        key(keys::kDown);
    }
    key(keys::kRight);
    EXPECT_EQ(scene->client.settings.arena, "maze");
    EXPECT_EQ(scene->client.shownArenaHash(), maze.hash());
    EXPECT_EQ(scene->client.shownMatch().arena.hash(), maze.hash()) << "the title's backdrop";
    key(keys::kEscape);
    key(keys::kEnter);
    frame();
    ASSERT_TRUE(scene->client.matchRunning());
    EXPECT_EQ(match().arena.hash(), maze.hash());
    EXPECT_EQ(player().position.x, maze.spawns[0].position.x);
    EXPECT_EQ(player().position.z, maze.spawns[0].position.z);

    Bounds around;
    around.min = glm::vec3(1e9f);
    around.max = glm::vec3(-1e9f);
    for (const ArenaPiece& piece : maze.pieces) {
        for (int i = 0; i < piece.shape.m_count; ++i) {
            const b2Vec2 corner = b2Mul(piece.transform, piece.shape.m_vertices[i]);
            around.min = glm::min(around.min, glm::vec3(corner.x, piece.bottom, corner.y));
            around.max = glm::max(around.max, glm::vec3(corner.x, piece.top, corner.y));
        }
    }
    EXPECT_EQ(scene->radar.pieces.size(), radarPieces(maze));
    EXPECT_NEAR(scene->sceneBounds.min.x, around.min.x, 1e-3f);
    EXPECT_NEAR(scene->sceneBounds.max.z, around.max.z, 1e-3f);
    EXPECT_GT(glm::distance(scene->radar.centre, classicCentre), 1.0f);
    EXPECT_NE(scene->renderer.shadowMap.storedTexels(), classicShadow);
    EXPECT_EQ(scene->renderer.shadowMap.depthTexture.name(), shadowTexture);
    frame();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // The match ends; "gone" is chosen, but its file has gone: one line, the built-in arena.
    key(keys::kL);
    scene->client.menu.arenas = {"maze", "gone"};
    key(keys::kO);
    ASSERT_TRUE(scene->client.menu.open);
    key(keys::kRight);
    EXPECT_EQ(scene->client.settings.arena, "gone");
    EXPECT_EQ(scene->client.shownArenaHash(), Arena::standard().hash());
    EXPECT_EQ(scene->client.shownMatch().arena.hash(), Arena::standard().hash());
    frame();
    EXPECT_NEAR(scene->radar.centre.x, classicCentre.x, 1e-5f);
    EXPECT_EQ(scene->renderer.shadowMap.storedTexels(), classicShadow);
}

TEST_F(SceneArenaTest, AServersArenaIsDrawnInItsMatchesAndThisGamesOwnBehindTheTitle) {
    const Arena maze = crowdedMaze();
    ServerOptions options;
    options.port = 0;
    options.arena = maze;
    options.arenaFile = ArenaFile::write(maze);
    std::ostringstream serverConsole; // read once the server's thread is gone
    Server server(options, serverConsole);
    ASSERT_TRUE(server.listening());
    auto running = std::make_unique<ServerThread>(server);
    TempDir cacheFolder;
    std::ostringstream cacheErrors;
    ArenaCache cache(cacheFolder.path(), cacheErrors);
    NetworkOptions joining;
    joining.port = server.port();
    joining.arenas = &cache;
    std::ostringstream console;
    GameClient& client = scene->client;
    client.join(joining, console);

    ASSERT_TRUE(framesUntil(10.0, [&] { return client.network && client.network->joined(); }))
        << console.str();
    EXPECT_EQ(client.network->arenaHash(), maze.hash());
    frame();
    EXPECT_EQ(client.shownArenaHash(), Arena::standard().hash()) << "the title's backdrop";
    EXPECT_EQ(scene->radar.pieces.size(), radarPieces(Arena::standard()));

    key(keys::kEnter);
    ASSERT_TRUE(framesUntil(10.0, [&] { return client.matchRunning(); }));
    for (int i = 0; i < 30; ++i) {
        frame();
    }
    EXPECT_EQ(client.shownMatch().arena.hash(), maze.hash());
    EXPECT_EQ(client.shownArenaHash(), maze.hash());
    EXPECT_EQ(scene->radar.pieces.size(), radarPieces(maze));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    running.reset();
    EXPECT_EQ(cacheErrors.str(), "");
}

} // namespace
