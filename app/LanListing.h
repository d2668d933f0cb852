#pragma once

#include <ostream>

// `brakkel --join` without an address: looks for games on the local network for
// kListingSeconds and writes one line for each server found, in the order they answered
// ("NAME  ADDRESS:PORT  arena ARENA  MODE  P/S players  RTT ms", then "  password" when joining
// needs one and "  version V" for a server of another version), or "No games found on the local
// network". Returns the status to exit with.
int listLanGames(std::ostream& out);
