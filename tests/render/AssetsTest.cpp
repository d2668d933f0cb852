#include "assets/ModelData.h"
#include "game/BodySizes.h"
#include "render/AssetPaths.h"
#include "render/Model.h"
#include "render/TextureLoader.h"

#include "support/GlContext.h"
#include "support/VecExpect.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

namespace {

// The game's own asset files as the running game finds them, relative to bin/.
struct TextureFile {
    const char* name;
    int width;
    int height;
    int channels;
};
const TextureFile kTextures[] = {
    {"default.tga", 256, 256, 3}, {"ground2.tga", 512, 512, 3}, {"camouflage.tga", 512, 512, 3},
    {"wall1.tga", 512, 512, 3},   {"day.tga", 1024, 512, 3},    {"font.tga", 1024, 1024, 4},
};
const char* const kModels[] = {"tank_bottom.obj", "tank_top.obj", "bullet.obj"};

// Font atlas layout: 16 × 16 cells, code k at column k % 16 and row k / 16 from the top.
constexpr int kAtlasCells = 16;
constexpr int kCellSize = 64;

// The hull's height: every arena piece is stretched from it, so the arena's heights are
// multiples of it.
constexpr float kHullHeight = 0.5f;

// Texels of level 0 of the bound texture, rows bottom first as GL holds them.
struct Texels {
    int width = 0;
    int height = 0;
    int channels = 0;
    int alphaBits = 0; // of the texture's internal format
    std::vector<std::uint8_t> bytes;

    // Channel c of the pixel at x, and y counted from the TOP of the picture.
    int at(int x, int yFromTop, int c) const {
        return bytes[(static_cast<size_t>(height - 1 - yFromTop) * width + x) * channels + c];
    }
};

Texels readBound(int channels) {
    Texels t;
    t.channels = channels;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &t.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &t.height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &t.alphaBits);
    t.bytes.resize(static_cast<size_t>(t.width) * t.height * channels);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, channels == 4 ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE,
                  t.bytes.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return t;
}

// Loads a texture of the game, expecting no console output, and reads it back; the texture
// goes again.
Texels loadGameTexture(const std::string& name, int channels) {
    CaptureStdout();
    CaptureStderr();
    const Texture texture = loadTexture((std::string(kTextureDir) + name).c_str());
    EXPECT_EQ(GetCapturedStdout(), "") << name;
    EXPECT_EQ(GetCapturedStderr(), "") << name;
    return readBound(channels);
}

// Reads a model of the game, expecting no console output.
std::vector<MeshData> readGameModel(const std::string& name) {
    CaptureStdout();
    CaptureStderr();
    std::vector<MeshData> meshes = readModel(std::string(kModelDir) + name);
    EXPECT_EQ(GetCapturedStdout(), "") << name;
    EXPECT_EQ(GetCapturedStderr(), "") << name;
    return meshes;
}

using AssetsTest = GlTest;

// ---- Textures ----

TEST_F(AssetsTest, EveryTextureLoadsSilentlyWithItsSizeAndChannels) {
    for (const TextureFile& file : kTextures) {
        SCOPED_TRACE(file.name);
        const Texels texels = loadGameTexture(file.name, file.channels);
        EXPECT_EQ(texels.width, file.width);
        EXPECT_EQ(texels.height, file.height);
        EXPECT_EQ(texels.alphaBits > 0, file.channels == 4);
        // Painted, not black: a file that failed to decode leaves an empty texture.
        long sum = 0;
        for (std::uint8_t b : texels.bytes) {
            sum += b;
        }
        EXPECT_GT(sum, 0);
        EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

// Mean absolute difference between two columns of the picture, over all channels.
double columnDifference(const Texels& t, int a, int b) {
    double sum = 0.0;
    for (int y = 0; y < t.height; ++y) {
        for (int c = 0; c < t.channels; ++c) {
            sum += std::abs(t.at(a, y, c) - t.at(b, y, c));
        }
    }
    return sum / (t.height * t.channels);
}

// Same for two rows.
double rowDifference(const Texels& t, int a, int b) {
    double sum = 0.0;
    for (int x = 0; x < t.width; ++x) {
        for (int c = 0; c < t.channels; ++c) {
            sum += std::abs(t.at(x, a, c) - t.at(x, b, c));
        }
    }
    return sum / (t.width * t.channels);
}

TEST_F(AssetsTest, SurfaceTexturesTileWithoutSeams) {
    // Across the wrap-around edge the picture changes no more than between neighbours inside.
    for (const char* name : {"ground2.tga", "wall1.tga", "camouflage.tga"}) {
        SCOPED_TRACE(name);
        const Texels t = loadGameTexture(name, 3);
        double inside = 0.0;
        for (int i = 1; i < t.width; ++i) {
            inside += columnDifference(t, i - 1, i) + rowDifference(t, i - 1, i);
        }
        inside /= 2.0 * (t.width - 1);
        EXPECT_LT(columnDifference(t, t.width - 1, 0), 2.0 * inside + 1.0);
        EXPECT_LT(rowDifference(t, t.height - 1, 0), 2.0 * inside + 1.0);
    }
}

TEST_F(AssetsTest, SkyIsBluerAtTheTopThanAtTheBottom) {
    const Texels sky = loadGameTexture("day.tga", 3);
    auto blueShare = [&](int yFromTop) {
        double blue = 0.0;
        double all = 0.0;
        for (int x = 0; x < sky.width; ++x) {
            blue += sky.at(x, yFromTop, 2);
            all += sky.at(x, yFromTop, 0) + sky.at(x, yFromTop, 1) + sky.at(x, yFromTop, 2);
        }
        return blue / all;
    };
    EXPECT_GT(blueShare(0), 0.5);
    EXPECT_GT(blueShare(0), blueShare(sky.height - 1) + 0.1);
}

// Ink extent of one font cell: rows and columns (inside the cell) with alpha above 0.5.
struct GlyphBox {
    int top = kCellSize;
    int bottom = -1;
    int left = kCellSize;
    int right = -1;
    int maxAlpha = 0;
    int borderAlpha = 0; // largest alpha on the cell's outermost pixel ring
};

GlyphBox glyphBox(const Texels& font, int code) {
    GlyphBox box;
    const int x0 = (code % kAtlasCells) * kCellSize;
    const int y0 = (code / kAtlasCells) * kCellSize;
    for (int y = 0; y < kCellSize; ++y) {
        for (int x = 0; x < kCellSize; ++x) {
            const int alpha = font.at(x0 + x, y0 + y, 3);
            box.maxAlpha = std::max(box.maxAlpha, alpha);
            if (x == 0 || y == 0 || x == kCellSize - 1 || y == kCellSize - 1) {
                box.borderAlpha = std::max(box.borderAlpha, alpha);
            }
            // White ink, not the dark outline.
            if (alpha > 127 && font.at(x0 + x, y0 + y, 0) > 127) {
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
            }
        }
    }
    return box;
}

TEST_F(AssetsTest, FontAtlasHasOutlinedGlyphsInAsciiCellsFromTheTop) {
    const Texels font = loadGameTexture("font.tga", 4);
    // Control codes and the space are empty; the letter A, row 4 column 1, is drawn in white.
    EXPECT_EQ(glyphBox(font, 1).maxAlpha, 0);
    EXPECT_EQ(glyphBox(font, ' ').maxAlpha, 0);
    const GlyphBox a = glyphBox(font, 'A');
    EXPECT_EQ(a.maxAlpha, 255);
    ASSERT_GE(a.right, a.left);
    // Centred in its cell and filling most of the width, as text quads are 0.8 cells wide.
    EXPECT_LE(std::abs(a.left - (kCellSize - 1 - a.right)), 2);
    EXPECT_GE(a.right - a.left + 1, kCellSize / 2);
    // Every printable glyph leaves its cell's border free, so filtering never bleeds.
    for (int code = 33; code <= 126; ++code) {
        const GlyphBox box = glyphBox(font, code);
        EXPECT_GT(box.maxAlpha, 0) << "code " << code;
        EXPECT_EQ(box.borderAlpha, 0) << "code " << code;
    }
    // One baseline: capitals and digits end on the same row, descenders reach below it.
    const int baseline = a.bottom;
    for (char c : std::string("BHMZ058xz")) {
        EXPECT_NEAR(glyphBox(font, c).bottom, baseline, 2) << c;
    }
    EXPECT_GT(glyphBox(font, 'g').bottom, baseline + 4);
    EXPECT_LT(glyphBox(font, 'H').top, glyphBox(font, 'x').top);
    // Outline: dark, partly opaque pixels just outside the ink of the A.
    const int x0 = ('A' % kAtlasCells) * kCellSize;
    const int y0 = ('A' / kAtlasCells) * kCellSize;
    const int below = a.bottom + 1;
    bool darkRim = false;
    for (int x = a.left; x <= a.right; ++x) {
        darkRim |= font.at(x0 + x, y0 + below, 3) > 100 && font.at(x0 + x, y0 + below, 0) < 60;
    }
    EXPECT_TRUE(darkRim);
}

// ---- Models ----

glm::vec3 meshCentroid(const std::vector<Vertex>& vs) {
    glm::vec3 sum(0.0f);
    for (const Vertex& v : vs) {
        sum += v.position;
    }
    return sum / float(vs.size());
}

TEST(GameModelTest, EveryModelIsTrianglesWoundCounterClockwiseOutwards) {
    for (const char* name : kModels) {
        SCOPED_TRACE(name);
        const std::vector<MeshData> meshes = readGameModel(name);
        ASSERT_FALSE(meshes.empty());
        for (const MeshData& mesh : meshes) {
            const std::vector<Vertex>& vs = mesh.vertices;
            ASSERT_GT(vs.size(), 0u);
            ASSERT_EQ(vs.size() % 3, 0u);
            // Every part is convex, so each face looks away from the part's centre.
            const glm::vec3 centre = meshCentroid(vs);
            int wrong = 0;
            for (size_t i = 0; i < vs.size(); i += 3) {
                const glm::vec3 a = vs[i].position, b = vs[i + 1].position, c = vs[i + 2].position;
                const glm::vec3 cross = glm::cross(b - a, c - a);
                if (glm::length(cross) < 1e-7f) {
                    ++wrong; // degenerate
                    continue;
                }
                const glm::vec3 face = glm::normalize(cross);
                for (int k = 0; k < 3; ++k) {
                    wrong += glm::dot(face, vs[i + k].normal) < 0.5f;
                    wrong += std::abs(glm::length(vs[i + k].normal) - 1.0f) > 1e-3f;
                }
                wrong += glm::dot(face, (a + b + c) / 3.0f - centre) <= 0.0f;
            }
            EXPECT_EQ(wrong, 0);
        }
    }
}

TEST(GameModelTest, HullIsAHalfUnitTallBoxStandingOnTheGround) {
    const std::vector<MeshData> hull = readGameModel("tank_bottom.obj");
    ASSERT_EQ(hull.size(), 1u);
    EXPECT_EQ(hull[0].vertices.size(), 36u);
    EXPECT_EQ(hull[0].bounds.min, glm::vec3(-1.0f, 0.0f, -1.0f));
    EXPECT_EQ(hull[0].bounds.max, glm::vec3(1.0f, kHullHeight, 1.0f));
    for (const Vertex& v : hull[0].vertices) {
        // Flat axis-aligned faces, each carrying the whole texture square...
        EXPECT_EQ(glm::length(v.normal), 1.0f);
        EXPECT_EQ(std::abs(v.normal.x) + std::abs(v.normal.y) + std::abs(v.normal.z), 1.0f);
        EXPECT_TRUE(v.uv.x == 0.0f || v.uv.x == 1.0f);
        EXPECT_TRUE(v.uv.y == 0.0f || v.uv.y == 1.0f);
        // ...upright on the sides, so walls stretched from it keep their texture's up.
        if (v.normal.y == 0.0f) {
            EXPECT_EQ(v.uv.y * kHullHeight, v.position.y);
        }
    }
}

// The rules collide bodies of fixed sizes; the models the game uploads must still fit them:
// the hull, the shell, and the box the arena's pieces are stretched from.
TEST_F(AssetsTest, TheModelsFitTheBodiesTheRulesCollide) {
    const struct {
        const char* file;
        Bounds body;
    } models[] = {{"tank_bottom.obj", kHullBounds},
                  {"bullet.obj", kBulletBounds},
                  {"tank_bottom.obj", kBoxBounds}};
    for (const auto& model : models) {
        CaptureStderr();
        const Model loaded = loadModel(std::string(kModelDir) + model.file, 0);
        EXPECT_EQ(GetCapturedStderr(), "");
        ASSERT_FALSE(loaded.meshes.empty()) << model.file;
        expectVec3(loaded.bounds.min, model.body.min, 1e-5f);
        expectVec3(loaded.bounds.max, model.body.max, 1e-5f);
    }
}

TEST(GameModelTest, TurretSitsOnTheHullWithItsGunAlongMinusZ) {
    const std::vector<MeshData> turret = readGameModel("tank_top.obj");
    ASSERT_FALSE(turret.empty());
    const Bounds whole = boundsOf(turret);
    const glm::vec3 low = whole.min;
    const glm::vec3 high = whole.max;
    EXPECT_NEAR(low.y, kHullHeight, 1e-4f);
    EXPECT_GT(high.y, kHullHeight + 0.4f);
    EXPECT_LT(low.z, -2.0f);         // the gun reaches well past the hull's front at z = -1
    EXPECT_LT(high.z, 1.2f);         // and nothing sticks out far behind
    EXPECT_LE(high.x - low.x, 2.0f); // no wider than the hull
    // The part that reaches furthest forward is centred on the turret's axis.
    const MeshData* front = &turret[0];
    for (const MeshData& mesh : turret) {
        if (mesh.bounds.min.z < front->bounds.min.z) {
            front = &mesh;
        }
    }
    EXPECT_NEAR(front->bounds.min.x + front->bounds.max.x, 0.0f, 1e-4f);
}

TEST(GameModelTest, ShellIsCentredRestsOnTheGroundAndPointsAlongMinusZ) {
    const std::vector<MeshData> shell = readGameModel("bullet.obj");
    ASSERT_EQ(shell.size(), 1u);
    const MeshData& mesh = shell[0];
    const Bounds& box = mesh.bounds;
    EXPECT_NEAR(box.min.y, 0.0f, 1e-5f);
    EXPECT_NEAR(box.max.y, 0.16f, 0.02f);
    EXPECT_NEAR(box.min.x + box.max.x, 0.0f, 1e-5f);
    EXPECT_NEAR(box.min.z + box.max.z, 0.0f, 1e-5f);
    const float length = box.max.z - box.min.z;
    EXPECT_GT(length, 2.0f * (box.max.x - box.min.x));
    // Pointed at -Z: the foremost vertices are the tip on the axis; the back is a flat base.
    int tip = 0;
    int base = 0;
    for (const Vertex& v : mesh.vertices) {
        if (v.position.z < box.min.z + 1e-5f) {
            ++tip;
            EXPECT_NEAR(v.position.x, 0.0f, 1e-5f);
            EXPECT_NEAR(v.position.y, 0.5f * box.max.y, 1e-5f);
        }
        base += v.position.z > box.max.z - 1e-5f && v.normal.z > 0.99f;
    }
    EXPECT_GT(tip, 0);
    EXPECT_GT(base, 0);
}

} // namespace
