#pragma once

// The size the game's window opens at, in pixels. The screen's texts and the radar are laid out
// for it and scaled with the window's height when the window is another size.
constexpr int kWindowWidth = 1024; // pixels
constexpr int kWindowHeight = 768; // pixels
