#pragma once

#include <ostream>

// What a networked match costs: a server on loopback with two clients in a duel, then eight in a
// battle, that drive, turn and fire as fast as the rules allow, stepped together in real time
// for `seconds` each. Prints the
// server's CPU time per tick (taking in the network, stepping, sending) and the UDP payload
// per client each way. False, with a line, when the match could not be played.
bool measureNetworkCost(std::ostream& out, double seconds);

// What a stranger's flood costs a server while a person plays: half a megabyte a second of
// ENet datagrams that never get past the password (StrangerFlood) for `seconds`. Prints the
// largest gap between the player's snapshots, the fewest ticks in a second, how much resident
// memory grew and the server's CPU spent on the flood as a share of a core (its CPU per second
// with the flood less without it). False, with a line, when no match could be played.
bool measureStrangerFlood(std::ostream& out, double seconds);
