// The message feed in the window, read back: each row is the text renderer's own drawing of
// its line, at the feed's place and size, faded as the feed says.
#include "support/GlPixels.h"
#include "support/SceneFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

// Where the feed's first row stands in a window of the size the game opens at.
constexpr int kFeedX = 10;
constexpr int kFeedY = 710;
constexpr int kFeedSize = 20;
constexpr int kFeedStep = 24;

class MessageFeedDrawTest : public SceneTest {
protected:
    // The match's last frame drawn again, with the scene's texts, or with these.
    std::vector<Rgba> drawn(const ScreenTexts& texts) {
        const FrameContent content{scene->drawList,
                                   camera().view(1.0f),
                                   camera().projection(),
                                   scene->darken(),
                                   false,
                                   0.0f,
                                   texts,
                                   scene->sceneBounds,
                                   nullptr};
        scene->renderer.render(content, nullptr);
        return readFrame();
    }
    // The same frame without the feed, and the lines given drawn by the text renderer itself.
    std::vector<Rgba> expected(const std::vector<const char*>& rows, float opacity) {
        const MessageFeed feed = scene->client.feed;
        scene->client.feed = MessageFeed();
        ScreenTexts withoutFeed;
        withoutFeed.build(scene->client, TextOptions());
        scene->client.feed = feed;
        drawn(withoutFeed);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            scene->renderer.text.draw(rows[i], kFeedX, kFeedY - static_cast<int>(i) * kFeedStep,
                                      kFeedSize, opacity);
        }
        return readFrame();
    }
    static int differing(const std::vector<Rgba>& a, const std::vector<Rgba>& b) {
        int count = 0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            for (int c = 0; c < 3; ++c) {
                if (std::abs(a[i][c] - b[i][c]) > 1) {
                    ++count;
                    break;
                }
            }
        }
        return count;
    }
};

TEST_F(MessageFeedDrawTest, TheFeedDrawsItsLinesAsTheTextRendererDoesAndFades) {
    // Without a sound device (as here) the scene's first line says so.
    ASSERT_EQ(scene->client.feed.size(), 1u);
    EXPECT_STREQ(scene->client.feed.text(0), AudioSystem::kNoDeviceLine);
    scene->client.feed = MessageFeed();
    tap(keys::kEnter);
    frame();
    // What the network game says reaches the feed through the console it writes to.
    std::ostringstream console;
    FeedStream stream(console, scene->client.feed);
    stream << std::string("Server full\n") << std::flush;
    stream << std::string("Player left seat 2: the computer takes over\n") << std::flush;
    EXPECT_EQ(console.str(), "Server full\nPlayer left seat 2: the computer takes over\n");
    frame();
    const std::vector<const char*> rows = {"Server full",
                                           "Player left seat 2: the computer takes over"};
    const std::vector<Rgba> shown = drawn(scene->texts);
    const std::vector<Rgba> wanted = expected(rows, 1.0f);
    EXPECT_EQ(differing(shown, wanted), 0);
    // Not the same picture as no feed at all.
    EXPECT_GT(differing(shown, expected({}, 1.0f)), 500);

    // Half faded.
    scene->client.feed.advance(MessageFeed::kShowSeconds + MessageFeed::kFadeSeconds * 0.5f -
                               2.0f * kStep);
    frame();
    ASSERT_NEAR(scene->client.feed.opacity(0), 0.5f, 1e-3f);
    EXPECT_EQ(differing(drawn(scene->texts), expected(rows, scene->client.feed.opacity(0))), 0);
    for (int i = 0; i < 60; ++i) {
        step();
    }
    EXPECT_EQ(scene->client.feed.size(), 0u) << "gone";
}

} // namespace
