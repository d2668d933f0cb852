#include "client/FindGamesScreen.h"

#include <algorithm>

FindGamesScreen::FindGamesScreen(std::uint16_t firstPort, int ports) : finder(firstPort, ports) {}

void FindGamesScreen::open() {
    isShown = true;
    chosen = 0;
    ticks = 0;
    finder.clear();
    finder.findInterfaces();
    finder.probe();
}

const LanFinder::Found* FindGamesScreen::step(const MenuInput& input, bool back) {
    if (++ticks >= kProbeTicks) {
        ticks = 0;
        finder.probe();
    }
    finder.receive(0);
    if (back) {
        isShown = false;
        return nullptr;
    }
    const int found = static_cast<int>(finder.size());
    chosen = found == 0 ? 0 : std::clamp(chosen + input.move, 0, found - 1);
    if (input.confirm && found > 0) {
        isShown = false;
        return &finder[static_cast<std::size_t>(chosen)];
    }
    return nullptr;
}
