#pragma once

// The game's one window, and the size of every full-window render target.
constexpr int kWindowWidth = 1024; // pixels
constexpr int kWindowHeight = 768; // pixels
