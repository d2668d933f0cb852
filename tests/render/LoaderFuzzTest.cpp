#include "assets/TgaImage.h"
#include "render/Model.h"
#include "render/TextureLoader.h"

#include "TgaFiles.h"
#include "support/GlContext.h"
#include "support/TempFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

// Deterministic mutants of valid files must never crash the loaders (run under
// AddressSanitizer), never upload a picture larger than the decoder's bound and never
// upload a mesh that is not whole triangles.
namespace {

constexpr std::uint32_t kSeed = 20240611;
constexpr int kMutantsPerSeed = 700;
constexpr int kModelMutantsPerSeed = 300;
constexpr size_t kTruncationStep = 5; // bytes between cuts of a model file

class Mutator {
public:
    // One random change: bit flip, byte overwrite, cut, or garbage inserted.
    std::string mutate(std::string bytes) {
        const int changes = 1 + static_cast<int>(next(4));
        for (int i = 0; i < changes && !bytes.empty(); ++i) {
            const size_t at = next(static_cast<std::uint32_t>(bytes.size()));
            switch (next(5)) {
            case 0:
                bytes[at] = static_cast<char>(bytes[at] ^ (1u << next(8)));
                break;
            case 1:
                bytes[at] = static_cast<char>(next(256));
                break;
            case 2:
                bytes[at] = kInteresting[next(sizeof(kInteresting) - 1)];
                break;
            case 3:
                bytes.resize(at);
                break;
            default:
                bytes.insert(at, garbage(1 + next(16)));
                break;
            }
        }
        return bytes;
    }

    // One change to the line structure of a text file: a line removed, repeated or moved, so
    // that many mutants stay well-formed and reach the importer.
    std::string mutateLines(const std::string& text) {
        std::vector<std::string> lines;
        size_t start = 0;
        while (start < text.size()) {
            const size_t end = std::min(text.find('\n', start), text.size());
            lines.push_back(text.substr(start, end - start + 1));
            start = end + 1;
        }
        if (lines.empty()) {
            return text;
        }
        const size_t from = next(static_cast<std::uint32_t>(lines.size()));
        const size_t to = next(static_cast<std::uint32_t>(lines.size()));
        switch (next(3)) {
        case 0:
            lines.erase(lines.begin() + from);
            break;
        case 1:
            lines.insert(lines.begin() + to, lines[from]);
            break;
        default:
            std::swap(lines[from], lines[to]);
            break;
        }
        std::string joined;
        for (const std::string& line : lines) {
            joined += line;
        }
        return joined;
    }

    std::string garbage(std::uint32_t length) {
        std::string bytes(length, '\0');
        for (char& byte : bytes) {
            byte = static_cast<char>(next(256));
        }
        return bytes;
    }

    std::uint32_t next(std::uint32_t bound) { return engine() % bound; }

private:
    static constexpr char kInteresting[] = "\0\n\r\\/ -9flpv#\xff";
    std::mt19937 engine{kSeed};
};

class LoaderFuzzTest : public GlTest {
protected:
    // Loads bytes as a texture and checks the result is either no picture or a sane one.
    void loadTextureFrom(const std::string& bytes) {
        const std::string path = dir.write("mutant.tga", bytes);
        const Texture texture = loadTexture(path.c_str());
        GLint width = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        EXPECT_GE(width, 0);
        EXPECT_LE(width, kMaxTgaDimension);
        ASSERT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    void loadModelFrom(const std::string& bytes) {
        const std::string path = dir.write("mutant.obj", bytes);
        const Model model = loadModel(path, 0);
        for (const Mesh& mesh : model.meshes) {
            EXPECT_EQ(mesh.vertexCount % 3, 0u);
        }
        ASSERT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    TempDir dir;
    Mutator mutator;
};

TEST_F(LoaderFuzzTest, MutatedTextureFilesNeverCrash) {
    const std::vector<std::string> seeds = {
        makeTga({5, 3, 3}, patternPixels(5, 3, 3)),
        makeTga({8, 8, 4, true, false, true}, std::vector<unsigned char>(8 * 8 * 4, 200)),
        makeTga({6, 4, 4, false, true, true}, patternPixels(6, 4, 4)),
        makeTga({7, 2, 1, false, false, true}, patternPixels(7, 2, 1)),
    };
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    for (const std::string& seed : seeds) {
        for (size_t length = 0; length < seed.size(); ++length) {
            loadTextureFrom(seed.substr(0, length));
        }
        for (int i = 0; i < kMutantsPerSeed; ++i) {
            loadTextureFrom(mutator.mutate(seed));
        }
        for (unsigned side : {4097u, 8192u, 60000u, 65535u}) {
            loadTextureFrom(withSize(seed, side, side));
            loadTextureFrom(withSize(seed, side, side).substr(0, 19));
            loadTextureFrom(withSize(seed, 1, side));
        }
    }
    for (int i = 0; i < kMutantsPerSeed; ++i) {
        loadTextureFrom(mutator.garbage(mutator.next(64)));
    }
    const std::string printed =
        testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed, "");
}

// An uncompressed file cut anywhere lacks pixels, so it must never decode.
TEST(TgaFuzzTest, EveryTruncatedUncompressedFileIsRejected) {
    const std::string file = makeTga({5, 3, 4}, patternPixels(5, 3, 4));
    for (size_t length = 0; length < file.size(); ++length) {
        TgaImage image;
        EXPECT_FALSE(decodeTga(reinterpret_cast<const unsigned char*>(file.data()), length, image))
            << length;
    }
}

TEST_F(LoaderFuzzTest, MutatedModelFilesNeverCrash) {
    const std::vector<std::string> seeds = {
        readFile(BRAKKEL_TEST_DATA_DIR "/box.obj"),
        readFile(BRAKKEL_TEST_DATA_DIR "/three_parts.obj"),
    };
    ASSERT_FALSE(seeds[0].empty());
    testing::internal::CaptureStderr();
    for (const std::string& seed : seeds) {
        for (size_t length = 0; length < seed.size(); length += kTruncationStep) {
            loadModelFrom(seed.substr(0, length));
        }
        for (int i = 0; i < kModelMutantsPerSeed; ++i) {
            loadModelFrom(mutator.mutate(seed));
            loadModelFrom(mutator.mutateLines(mutator.mutateLines(seed)));
        }
    }
    for (int i = 0; i < kModelMutantsPerSeed / 2; ++i) {
        loadModelFrom(mutator.garbage(1 + mutator.next(256)));
    }
    testing::internal::GetCapturedStderr();
}

} // namespace
