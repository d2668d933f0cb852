#pragma once

// The codes of the keys and mouse buttons the game reads: the window library's own values
// (the window adapter checks that they agree), so that code above the platform layer can name
// keys without including the window library.
namespace keys {
constexpr int kSpace = 32;
constexpr int kA = 65;
constexpr int kD = 68;
constexpr int kE = 69;
constexpr int kG = 71;
constexpr int kL = 76;
constexpr int kM = 77;
constexpr int kO = 79;
constexpr int kQ = 81;
constexpr int kS = 83;
constexpr int kW = 87;
constexpr int kEscape = 256;
constexpr int kEnter = 257;
constexpr int kTab = 258;
constexpr int kBackspace = 259;
constexpr int kRight = 262;
constexpr int kLeft = 263;
constexpr int kDown = 264;
constexpr int kUp = 265;
constexpr int kF1 = 290;
constexpr int kF2 = 291;
constexpr int kF3 = 292;
constexpr int kF4 = 293;
constexpr int kF5 = 294;
constexpr int kF6 = 295;
constexpr int kF11 = 300;
constexpr int kLast = 348; // highest key code
} // namespace keys

namespace buttons {
constexpr int kLeft = 0;
constexpr int kRight = 1;
constexpr int kLast = 7; // highest mouse-button code
} // namespace buttons

// A gamepad in the standard layout (the window library's gamepad mapping, same values): its
// buttons and its axes. Stick axes run from -1 (left, up) to 1 (right, down); trigger axes
// from -1 (let go) to 1 (pulled fully).
namespace pad {
constexpr int kA = 0;
constexpr int kB = 1;
constexpr int kY = 3;
constexpr int kLeftBumper = 4;
constexpr int kRightBumper = 5;
constexpr int kBack = 6;
constexpr int kStart = 7;
constexpr int kDpadUp = 11;
constexpr int kDpadRight = 12;
constexpr int kDpadDown = 13;
constexpr int kDpadLeft = 14;
constexpr int kButtonCount = 15; // through the four directions of the d-pad

constexpr int kLeftX = 0;
constexpr int kLeftY = 1;
constexpr int kRightX = 2;
constexpr int kRightY = 3;
constexpr int kLeftTrigger = 4;
constexpr int kRightTrigger = 5;
constexpr int kAxisCount = 6;
} // namespace pad

// A key or button event: pressed or released.
enum class KeyAction { Press, Release };
