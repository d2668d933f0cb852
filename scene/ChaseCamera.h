#pragma once

// Mouse state the chase camera keeps between playing frames.
extern int dragMouseX; // mouse position at the previous frame of a drag (pixels)
extern int dragMouseY;
extern bool orbitDragging;    // the right button was held at the previous playing frame
extern int lastWheelPosition; // wheel position seen by the previous zoom step
