#pragma once

#include <array>
#include <cstdint>

// A way through the navigation graph: its places, first to last, in a fixed room so that a
// controller's state can be copied and planned without allocating. A longer way keeps its first
// kCapacity places and is planned on from the last of them.
struct NavPath {
    static constexpr int kCapacity = 40;

    std::array<std::int16_t, kCapacity> nodes{};
    std::int32_t count = 0;

    int at(int index) const { return nodes[static_cast<std::size_t>(index)]; }
    int last() const { return at(count - 1); }
    bool empty() const { return count == 0; }
    void clear() { count = 0; }
};
