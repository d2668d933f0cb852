#include "app/RenderOptions.h"

#include <GLFW/glfw3.h>

#include <iostream>

bool showFrameRate = false;
bool wireframe = false;
bool nearestSampling = false;
bool samplingChanged = false;
int mipmapMode = 0;
bool mipmapChanged = false;

namespace {
constexpr int kMipmapModeCount = 3;
constexpr const char* kMipmapMessages[kMipmapModeCount] = {
    "Mip Maps disabled", "Using Mip Maps: nearest neighbour", "Using Mip Maps: linear"};
} // namespace

void onRenderOptionKey(int key, int action) {
    if (action != GLFW_RELEASE) {
        return;
    }
    switch (key) {
    case GLFW_KEY_F2:
        showFrameRate = !showFrameRate;
        std::cout << "Toggle FrameRate" << std::endl;
        break;
    case GLFW_KEY_F3:
        wireframe = !wireframe;
        std::cout << "Toggle WireFrame" << std::endl;
        break;
    case GLFW_KEY_F4:
        samplingChanged = true;
        nearestSampling = !nearestSampling;
        std::cout << (nearestSampling ? "Textur-Sampling-Quality: Nearest Neighbor"
                                      : "Textur-Sampling-Quality: Bilinear")
                  << std::endl;
        break;
    case GLFW_KEY_F5:
        mipmapMode = (mipmapMode + 1) % kMipmapModeCount;
        mipmapChanged = true;
        std::cout << kMipmapMessages[mipmapMode] << std::endl;
        break;
    default:
        break;
    }
}
