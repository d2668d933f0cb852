#include "render/DrawList.h"

#include <algorithm>

void DrawList::add(const MeshDraw& draw) {
    (draw.alpha < 1.0f ? seeThrough : opaque).push_back(draw);
}

// std::sort, not stable_sort: sorting must not allocate, and draws at one distance may go in
// any order.
void DrawList::sort() {
    std::sort(opaque.begin(), opaque.end(),
              [](const MeshDraw& a, const MeshDraw& b) { return a.distance < b.distance; });
    std::sort(seeThrough.begin(), seeThrough.end(),
              [](const MeshDraw& a, const MeshDraw& b) { return a.distance > b.distance; });
}
