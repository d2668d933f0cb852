#pragma once

#include "client/PlayerInput.h"
#include "net/LanFinder.h"

#include <cstdint>

// The title's "Find games" screen: the games on the local network in a list, kept fresh while
// it shows (a request every kProbeTicks, the answers taken in every tick, a server that falls
// silent dropped), one of them selected. Up and down choose, ENTER joins the selected game, ESC
// or G go back to the title.
class FindGamesScreen {
public:
    static constexpr int kProbeTicks = 60;

    explicit FindGamesScreen(std::uint16_t firstPort = protocol::kDefaultPort,
                             int ports = LanFinder::kPortsProbed);

    // Shows the screen, looking again for the interfaces (which allocates: once, at the press)
    // and asking at once.
    void open();
    // One tick of the screen shown; back is a press of its own key or ESC. Returns the game
    // chosen, which closes the screen, or null.
    const LanFinder::Found* step(const MenuInput& input, bool back);

    bool shown() const { return isShown; }
    int selected() const { return chosen; }
    const LanFinder& games() const { return finder; }

private:
    LanFinder finder;
    bool isShown = false;
    int chosen = 0;
    int ticks = 0; // since the last request
};
