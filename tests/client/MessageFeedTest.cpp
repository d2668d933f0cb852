// The message feed: what is written to the console reaches it line by line, unchanged on the
// console; long lines wrap, what the font lacks is replaced, and old news fades and goes.
#include "client/MessageFeed.h"
#include "client/FeedStream.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

namespace {

TEST(MessageFeedTest, TheConsoleKeepsItsLinesAndTheFeedGetsEachWholeOne) {
    std::ostringstream console;
    MessageFeed feed;
    FeedStream stream(console, feed);
    stream << "Connected to 127.0.0.1:27500" << std::endl;
    stream << "Player joined";
    EXPECT_EQ(feed.size(), 1u) << "half a line waits for its end";
    stream << " seat 2\n" << std::flush;
    stream << std::string("Reconnecting\xE2\x80\xA6\n") << std::flush; // one write, as the net does
    EXPECT_EQ(console.str(),
              "Connected to 127.0.0.1:27500\nPlayer joined seat 2\nReconnecting\xE2\x80\xA6\n");
    ASSERT_EQ(feed.size(), 3u);
    EXPECT_STREQ(feed.text(0), "Connected to 127.0.0.1:27500");
    EXPECT_STREQ(feed.text(1), "Player joined seat 2");
    EXPECT_STREQ(feed.text(2), "Reconnecting...") << "the font has no ellipsis";
    EXPECT_STREQ(stream.lastLine(), "Reconnecting\xE2\x80\xA6");
}

TEST(MessageFeedTest, LongLinesWrapAtASpaceAndWhatTheFontLacksIsAQuestionMark) {
    MessageFeed feed;
    feed.add("Settings: /home/player/.config/brakkel/settings.toml: aim must be one of "
             "\"keys\", \"mouse\"; using \"keys\"");
    // A row breaks at its last space, or where it is full when that space comes early.
    ASSERT_EQ(feed.size(), 3u);
    EXPECT_STREQ(feed.text(0), "Settings: /home/player/.config/brakkel/settings.");
    EXPECT_STREQ(feed.text(1), "toml: aim must be one of \"keys\", \"mouse\"; using");
    EXPECT_STREQ(feed.text(2), "\"keys\"");
    feed.add("caf\xC3\xA9 \x01\tbell\r");
    EXPECT_STREQ(feed.text(feed.size() - 1), "caf? ??bell");
    feed.add("two\nlines");
    EXPECT_STREQ(feed.text(feed.size() - 2), "two");
    EXPECT_STREQ(feed.text(feed.size() - 1), "lines");
    EXPECT_EQ(feed.size(), MessageFeed::kRows) << "the oldest rows went";
    EXPECT_STREQ(feed.text(0), "toml: aim must be one of \"keys\", \"mouse\"; using");
}

TEST(MessageFeedTest, NewsShowsFadesAndGoes) {
    MessageFeed feed;
    feed.add("Server full");
    feed.advance(MessageFeed::kShowSeconds - 0.5f);
    feed.add("Connection lost");
    EXPECT_EQ(feed.opacity(0), 1.0f);
    feed.advance(0.5f + MessageFeed::kFadeSeconds * 0.25f);
    EXPECT_NEAR(feed.opacity(0), 0.75f, 1e-4f);
    EXPECT_EQ(feed.opacity(1), 1.0f);
    feed.advance(MessageFeed::kFadeSeconds);
    ASSERT_EQ(feed.size(), 1u);
    EXPECT_STREQ(feed.text(0), "Connection lost");
    feed.advance(MessageFeed::kShowSeconds + MessageFeed::kFadeSeconds);
    EXPECT_EQ(feed.size(), 0u);
    EXPECT_STREQ(feed.text(0), "");
}

// Whatever bytes come, in whatever pieces: every row is printable and fits, and the console
// gets every byte.
TEST(MessageFeedTest, AnyBytesGiveRowsTheFontCanDraw) {
    std::mt19937 random(5u);
    for (int round = 0; round < 200; ++round) {
        std::ostringstream console;
        MessageFeed feed;
        FeedStream stream(console, feed);
        std::string written;
        for (int piece = 0; piece < 20; ++piece) {
            std::string bytes(random() % 120, '\0');
            for (char& c : bytes) {
                c = static_cast<char>(random() % 8 == 0 ? '\n' : random());
            }
            stream << bytes;
            written += bytes;
        }
        stream.flush();
        EXPECT_EQ(console.str(), written);
        for (std::size_t row = 0; row < feed.size(); ++row) {
            const std::string text = feed.text(row);
            EXPECT_LE(text.size(), MessageFeed::kColumns);
            for (const char c : text) {
                EXPECT_TRUE(c >= ' ' && c <= '~') << static_cast<int>(c);
            }
        }
    }
}

} // namespace
