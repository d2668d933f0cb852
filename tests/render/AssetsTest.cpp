#include "render/AssetPaths.h"
#include "render/Mesh.h"
#include "render/ModelLoader.h"
#include "render/TextureLoader.h"
#include "render/Vertex.h"

#include "support/GlContext.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
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
    {"wall1.tga", 512, 512, 3},   {"day.tga", 1024, 512, 3},    {"font.tga", 512, 512, 4},
};
const char* const kModels[] = {"tank_bottom.obj", "tank_top.obj", "bullet.obj"};

// Font atlas layout: 16 × 16 cells, code k at column k % 16 and row k / 16 from the top.
constexpr int kAtlasCells = 16;
constexpr int kCellSize = 32;

// Texels of level 0 of the bound texture, rows bottom first as GL holds them.
struct Texels {
    int width = 0;
    int height = 0;
    int channels = 0;
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
    t.bytes.resize(static_cast<size_t>(t.width) * t.height * channels);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, channels == 4 ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE,
                  t.bytes.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return t;
}

class AssetsTest : public GlTest {
protected:
    void TearDown() override {
        for (Mesh* mesh : meshes) {
            delete mesh;
        }
        glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
        glDeleteProgram(program);
    }

    // Loads a texture of the game, expecting no console output; leaves it bound.
    Texels loadGameTexture(const std::string& name, int channels) {
        CaptureStdout();
        CaptureStderr();
        textures.push_back(loadTexture((std::string(kTextureDir) + name).c_str()));
        EXPECT_EQ(GetCapturedStdout(), "") << name;
        EXPECT_EQ(GetCapturedStderr(), "") << name;
        return readBound(channels);
    }

    // Loads a model of the game, expecting no console output; returns its meshes.
    std::vector<Mesh*> loadGameModel(const std::string& name) {
        if (program == 0) {
            program = meshProgram();
        }
        std::vector<Mesh*> loaded;
        CaptureStdout();
        CaptureStderr();
        loadModel(std::string(kModelDir) + name, program, 0, loaded);
        EXPECT_EQ(GetCapturedStdout(), "") << name;
        EXPECT_EQ(GetCapturedStderr(), "") << name;
        meshes.insert(meshes.end(), loaded.begin(), loaded.end());
        return loaded;
    }

    static std::vector<Vertex> vertices(const Mesh& mesh) {
        std::vector<Vertex> out(mesh.vertexCount);
        glBindBuffer(GL_ARRAY_BUFFER, mesh.vertexBuffers.at(0));
        glGetBufferSubData(GL_ARRAY_BUFFER, 0, out.size() * sizeof(Vertex), out.data());
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        return out;
    }

    std::vector<Mesh*> meshes;
    std::vector<GLuint> textures;
    GLuint program = 0;

private:
    // A linked program with "M" and "alpha", built silently with raw GL.
    static GLuint meshProgram() {
        const char* vertex = "#version 330\nlayout(location = 0) in vec3 p;\nuniform mat4 M;\n"
                             "void main() { gl_Position = M * vec4(p, 1.0); }\n";
        const char* fragment = "#version 330\nuniform float alpha;\nout vec4 c;\n"
                               "void main() { c = vec4(alpha); }\n";
        const GLuint result = glCreateProgram();
        for (auto [type, source] :
             {std::pair{GL_VERTEX_SHADER, vertex}, std::pair{GL_FRAGMENT_SHADER, fragment}}) {
            const GLuint shader = glCreateShader(type);
            glShaderSource(shader, 1, &source, nullptr);
            glCompileShader(shader);
            glAttachShader(result, shader);
            glDeleteShader(shader);
        }
        glLinkProgram(result);
        return result;
    }
};

// ---- Textures ----

TEST_F(AssetsTest, EveryTextureLoadsSilentlyWithItsSizeAndChannels) {
    for (const TextureFile& file : kTextures) {
        SCOPED_TRACE(file.name);
        const Texels texels = loadGameTexture(file.name, file.channels);
        EXPECT_EQ(texels.width, file.width);
        EXPECT_EQ(texels.height, file.height);
        GLint alphaBits = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
        EXPECT_EQ(alphaBits > 0, file.channels == 4);
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
        EXPECT_NEAR(glyphBox(font, c).bottom, baseline, 1) << c;
    }
    EXPECT_GT(glyphBox(font, 'g').bottom, baseline + 2);
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

TEST_F(AssetsTest, EveryModelIsTrianglesWoundCounterClockwiseOutwards) {
    for (const char* name : kModels) {
        SCOPED_TRACE(name);
        const std::vector<Mesh*> loaded = loadGameModel(name);
        ASSERT_FALSE(loaded.empty());
        for (const Mesh* mesh : loaded) {
            ASSERT_GT(mesh->vertexCount, 0u);
            ASSERT_EQ(mesh->vertexCount % 3, 0u);
            const std::vector<Vertex> vs = vertices(*mesh);
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

TEST_F(AssetsTest, HullIsTheUnitBoxStandingOnTheGround) {
    const std::vector<Mesh*> hull = loadGameModel("tank_bottom.obj");
    ASSERT_EQ(hull.size(), 1u);
    EXPECT_EQ(hull[0]->vertexCount, 36u);
    EXPECT_EQ(hull[0]->boundsMin, glm::vec3(-1.0f, 0.0f, -1.0f));
    EXPECT_EQ(hull[0]->boundsMax, glm::vec3(1.0f, 1.0f, 1.0f));
    for (const Vertex& v : vertices(*hull[0])) {
        // Flat axis-aligned faces, each carrying the whole texture square...
        EXPECT_EQ(glm::length(v.normal), 1.0f);
        EXPECT_EQ(std::abs(v.normal.x) + std::abs(v.normal.y) + std::abs(v.normal.z), 1.0f);
        EXPECT_TRUE(v.uv.x == 0.0f || v.uv.x == 1.0f);
        EXPECT_TRUE(v.uv.y == 0.0f || v.uv.y == 1.0f);
        // ...upright on the sides, so walls stretched from it keep their texture's up.
        if (v.normal.y == 0.0f) {
            EXPECT_EQ(v.uv.y, v.position.y);
        }
    }
}

TEST_F(AssetsTest, TurretSitsOnTheHullWithItsGunAlongMinusZ) {
    const std::vector<Mesh*> turret = loadGameModel("tank_top.obj");
    ASSERT_FALSE(turret.empty());
    glm::vec3 low(1e9f), high(-1e9f);
    for (const Mesh* mesh : turret) {
        low = glm::min(low, mesh->boundsMin);
        high = glm::max(high, mesh->boundsMax);
    }
    EXPECT_NEAR(low.y, 1.0f, 1e-4f);
    EXPECT_GT(high.y, 1.4f);
    EXPECT_LT(low.z, -2.0f);         // the gun reaches well past the hull's front at z = -1
    EXPECT_LT(high.z, 1.2f);         // and nothing sticks out far behind
    EXPECT_LE(high.x - low.x, 2.0f); // no wider than the hull
    // The part that reaches furthest forward is centred on the turret's axis.
    const Mesh* front = turret[0];
    for (const Mesh* mesh : turret) {
        if (mesh->boundsMin.z < front->boundsMin.z) {
            front = mesh;
        }
    }
    EXPECT_NEAR(front->boundsMin.x + front->boundsMax.x, 0.0f, 1e-4f);
}

TEST_F(AssetsTest, ShellIsCentredRestsOnTheGroundAndPointsAlongMinusZ) {
    const std::vector<Mesh*> shell = loadGameModel("bullet.obj");
    ASSERT_EQ(shell.size(), 1u);
    const Mesh& mesh = *shell[0];
    EXPECT_NEAR(mesh.boundsMin.y, 0.0f, 1e-5f);
    EXPECT_NEAR(mesh.boundsMax.y, 0.16f, 0.02f);
    EXPECT_NEAR(mesh.boundsMin.x + mesh.boundsMax.x, 0.0f, 1e-5f);
    EXPECT_NEAR(mesh.boundsMin.z + mesh.boundsMax.z, 0.0f, 1e-5f);
    const float length = mesh.boundsMax.z - mesh.boundsMin.z;
    EXPECT_GT(length, 2.0f * (mesh.boundsMax.x - mesh.boundsMin.x));
    // Pointed at -Z: the foremost vertices are the tip on the axis; the back is a flat base.
    int tip = 0;
    int base = 0;
    for (const Vertex& v : vertices(mesh)) {
        if (v.position.z < mesh.boundsMin.z + 1e-5f) {
            ++tip;
            EXPECT_NEAR(v.position.x, 0.0f, 1e-5f);
            EXPECT_NEAR(v.position.y, 0.5f * mesh.boundsMax.y, 1e-5f);
        }
        base += v.position.z > mesh.boundsMax.z - 1e-5f && v.normal.z > 0.99f;
    }
    EXPECT_GT(tip, 0);
    EXPECT_GT(base, 0);
}

} // namespace
