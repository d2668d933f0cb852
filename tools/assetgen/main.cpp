#include "FontAtlas.h"
#include "Models.h"
#include "ObjWriter.h"
#include "Sounds.h"
#include "TankIcon.h"
#include "Textures.h"

#include <filesystem>
#include <iostream>
#include <string>

namespace {

// Icon sizes in pixels, each written as <iconRoot>/hicolor/<size>x<size>/apps/brakkel.png, the
// layout of the desktop's icon theme.
constexpr int kIconSizes[] = {48, 128};

int writeIcons(const std::filesystem::path& root) {
    bool ok = true;
    for (int size : kIconSizes) {
        const std::string side = std::to_string(size);
        const std::filesystem::path dir = root / "hicolor" / (side + "x" + side) / "apps";
        std::error_code error;
        std::filesystem::create_directories(dir, error);
        const std::filesystem::path file = dir / "brakkel.png";
        if (!makeTankIcon(size).writePng(file.string())) {
            std::cerr << "brakkel_assetgen: cannot write " << file.string() << std::endl;
            ok = false;
        }
    }
    return ok ? 0 : 1;
}

} // namespace

// Writes every texture, model and sound of the game under <assetRoot>/Textures,
// <assetRoot>/Models and <assetRoot>/Sounds, or with --icons the application icons under
// <iconRoot>. Exit code 0 when all were written, 1 otherwise.
int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--icons") {
        return writeIcons(argv[2]);
    }
    if (argc != 3) {
        std::cerr << "usage: brakkel_assetgen <assetRoot> <fontFile>\n"
                  << "       brakkel_assetgen --icons <iconRoot>" << std::endl;
        return 1;
    }
    const std::filesystem::path root = argv[1];
    const std::filesystem::path textures = root / "Textures";
    const std::filesystem::path models = root / "Models";
    const std::filesystem::path sounds = root / "Sounds";
    std::error_code error;
    std::filesystem::create_directories(textures, error);
    std::filesystem::create_directories(models, error);
    std::filesystem::create_directories(sounds, error);

    bool ok = true;
    auto check = [&ok](bool written, const std::filesystem::path& path) {
        if (!written) {
            std::cerr << "brakkel_assetgen: cannot write " << path.string() << std::endl;
            ok = false;
        }
    };
    auto texture = [&](const char* name, const Image& image) {
        check(image.writeTga((textures / name).string()), textures / name);
    };
    auto model = [&](const char* name, const std::vector<MeshBuilder>& parts) {
        check(writeObj((models / name).string(), parts), models / name);
    };
    auto sound = [&](const char* name, Waveform wave) {
        wave.normalise(kSoundFilePeak);
        check(wave.writeWav((sounds / name).string()), sounds / name);
    };

    texture("default.tga", makeDefaultTexture());
    texture("ground2.tga", makeGroundTexture());
    texture("wall1.tga", makeWallTexture());
    texture("camouflage.tga", makeCamouflageTexture());
    texture("day.tga", makeSkyTexture());
    if (const std::optional<Image> font = makeFontAtlas(argv[2])) {
        texture("font.tga", *font);
    } else {
        std::cerr << "brakkel_assetgen: cannot read font " << argv[2] << std::endl;
        ok = false;
    }
    model("tank_bottom.obj", makeTankBottom());
    model("tank_top.obj", makeTankTop());
    model("bullet.obj", makeBullet());
    sound("engine.wav", makeEngineSound());
    sound("shot.wav", makeShotSound());
    sound("tank_hit.wav", makeTankHitSound());
    sound("wall_hit.wav", makeWallHitSound());
    sound("jump.wav", makeJumpSound());
    sound("landing.wav", makeLandingSound());
    sound("win.wav", makeWinSound());
    sound("lose.wav", makeLoseSound());
    sound("click.wav", makeClickSound());
    return ok ? 0 : 1;
}
