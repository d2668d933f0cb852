#include <filesystem>
#include <fstream>

// Placeholder until the generator lands: creates the asset files empty.
int main(int argc, char** argv) {
    if (argc < 2) {
        return 1;
    }
    const std::filesystem::path root = argv[1];
    std::filesystem::create_directories(root / "Textures");
    std::filesystem::create_directories(root / "Models");
    for (const char* name : {"Textures/default.tga", "Textures/ground2.tga", "Textures/camouflage.tga",
                             "Textures/wall1.tga", "Textures/day.tga", "Textures/font.tga",
                             "Models/tank_bottom.obj", "Models/tank_top.obj", "Models/bullet.obj"}) {
        std::ofstream(root / name);
    }
    return 0;
}
