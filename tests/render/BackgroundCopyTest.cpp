// The background as the lower presets paint it into the scene's targets: copied from a copy
// drawn once, the same pixels as drawing the picture into the target every frame.
#include "render/BackgroundCopy.h"
#include "render/PassState.h"
#include "support/GlContext.h"
#include "support/GlPixels.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

// A colour target of its own, as the main pass's colour target.
struct Target {
    explicit Target(glm::ivec2 size) : size(size) {
        glBindTexture(GL_TEXTURE_2D, texture.name());
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size.x, size.y, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     nullptr);
        glBindTexture(GL_TEXTURE_2D, 0);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer.name());
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture.name(),
                               0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    std::vector<unsigned char> pixels() const {
        std::vector<unsigned char> bytes(static_cast<std::size_t>(size.x) * size.y * 4);
        glBindTexture(GL_TEXTURE_2D, texture.name());
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return bytes;
    }

    glm::ivec2 size;
    Texture texture = Texture::create();
    Framebuffer framebuffer = Framebuffer::create();
};

// A picture with detail in every texel, read through mip levels as the game's pictures are.
Texture busyPicture() {
    constexpr int kWidth = 256;
    constexpr int kHeight = 128;
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            rgba.insert(rgba.end(), {static_cast<std::uint8_t>(x * 7 + y * 3),
                                     static_cast<std::uint8_t>((x ^ y) * 5),
                                     static_cast<std::uint8_t>(y * 2), 255});
        }
    }
    Texture picture(makeTexture(kWidth, kHeight, rgba));
    glBindTexture(GL_TEXTURE_2D, picture.name());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glGenerateMipmap(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    return picture;
}

// The background drawn straight into target with the state the copy is drawn with.
void drawDirectly(const BackgroundQuad& background, const Target& target) {
    PassState state;
    state.framebuffer = target.framebuffer.name();
    state.viewport = target.size;
    state.blend = Blend::Off;
    state.depthTest = false;
    state.depthWrite = false;
    applyPassState(state);
    background.draw();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

class BackgroundCopyTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        picture = busyPicture();
        CaptureStdout();
        program = BackgroundQuad::loadProgram();
        background = std::make_unique<BackgroundQuad>(program.name(), picture.name());
        GetCapturedStdout();
    }
    void TearDown() override { EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR)); }

    // The copy redrawn at target's size and copied into it, over something else.
    std::vector<unsigned char> copied(BackgroundCopy& copy, const Target& target) {
        glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer.name());
        glClearColor(0.2f, 0.9f, 0.4f, 0.5f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        copy.copyInto(target.framebuffer.name());
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return target.pixels();
    }

    Texture picture;
    Program program;
    std::unique_ptr<BackgroundQuad> background;
};

TEST_F(BackgroundCopyTest, CopiesExactlyWhatDrawingThePictureGivesAtEachPresetSize) {
    BackgroundCopy copy;
    for (const glm::ivec2& size : {glm::ivec2(512, 384), glm::ivec2(768, 576)}) {
        const Target direct(size);
        const Target target(size);
        drawDirectly(*background, direct);
        copy.redraw(*background, size);
        EXPECT_EQ(copy.size(), size);
        EXPECT_EQ(copied(copy, target), direct.pixels()) << size.x << " x " << size.y;
    }
}

// The copy is what the picture looked like when it was drawn: after the picture's filters
// change, only a redraw shows them.
TEST_F(BackgroundCopyTest, ARedrawFollowsThePicturesFilters) {
    const glm::ivec2 size(512, 384);
    BackgroundCopy copy;
    const Target target(size);
    copy.redraw(*background, size);
    const std::vector<unsigned char> trilinear = copied(copy, target);

    glBindTexture(GL_TEXTURE_2D, picture.name());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(copied(copy, target), trilinear) << "not redrawn yet";
    copy.redraw(*background, size);
    const std::vector<unsigned char> nearest = copied(copy, target);
    EXPECT_NE(nearest, trilinear);
    const Target direct(size);
    drawDirectly(*background, direct);
    EXPECT_EQ(nearest, direct.pixels());

    copy.redraw(*background, glm::ivec2(0));
    EXPECT_EQ(copy.size(), glm::ivec2(0)) << "a frame that draws the background itself";
}

} // namespace
