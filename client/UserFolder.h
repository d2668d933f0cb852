#pragma once

#include <string>

// The game's folder of one kind under the player's home, after the XDG base directories:
// $VARIABLE/brakkel when VARIABLE holds an absolute path, else ~/BELOW_HOME/brakkel; "" when
// neither it nor HOME is set. userFolder("XDG_CONFIG_HOME", ".config") is ~/.config/brakkel.
std::string userFolder(const char* variable, const char* belowHome);
