#pragma once

#include "platform/Window.h"

// Titles the window and sets the GL state the game starts from, with the start-up GL checks
// "1" to "4". Needs the window open with its context current and GLEW initialised.
void setGlobalGlState(Window& window);
