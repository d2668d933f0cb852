#pragma once

#include <ostream>

// What a networked match costs: a server on loopback with two clients that drive, turn and
// fire as fast as the rules allow, stepped together in real time for `seconds`. Prints the
// server's CPU time per tick (taking in the network, stepping, sending) and the UDP payload
// per client each way. False, with a line, when the match could not be played.
bool measureNetworkCost(std::ostream& out, double seconds);
