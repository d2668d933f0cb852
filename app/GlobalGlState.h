#pragma once

// Sets the global GL state every pass relies on (no pass changes it), titles the window and
// turns on sticky keys. Needs the window open with its context current and GLEW initialised.
void setGlobalGlState();
