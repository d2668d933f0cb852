#pragma once

#include "Waveform.h"

// The game's sounds, each normalised to its own peak level. The levels are the mix: relative
// loudness is set here, once, and the game plays every file at the same gain. They add up
// to 0.85 of full scale, so even if all nine sounds peaked at the same instant the sum would
// stay 1.4 dB below clipping; the second tank's engine (another 0.07) still leaves 0.7 dB.
inline constexpr float kShotPeak = 0.18f;    // the loudest: the player's own cannon
inline constexpr float kTankHitPeak = 0.13f; // a hit on a tank matters more than on a wall
inline constexpr float kWallHitPeak = 0.11f;
inline constexpr float kLandingPeak = 0.09f;
inline constexpr float kWinPeak = 0.08f; // the stings are sustained tones: loud at a low peak
inline constexpr float kLosePeak = 0.08f;
inline constexpr float kEnginePeak = 0.07f; // always on, so kept below every event
inline constexpr float kJumpPeak = 0.06f;
inline constexpr float kClickPeak = 0.05f; // a short tick right at the ear needs little level

// A tank's diesel engine between idle and cruise: a one-second loop whose last sample flows
// into its first. The game raises its pitch and gain with the tank's speed.
Waveform makeEngineSound();
// A cannon shot: crack, boom and a short rumbling tail; 0.75 s.
Waveform makeShotSound();
// A shell striking a tank's armour: a clang of steel plate over a dull thump; 0.6 s.
Waveform makeTankHitSound();
// A shell bursting on stone: a dull thud, then falling debris; 0.6 s.
Waveform makeWallHitSound();
// A jump's thrust: a rising whoosh over a low rumble; 0.35 s.
Waveform makeJumpSound();
// A heavy tank landing: a low thump with a rattle of tracks and a small bounce; 0.35 s.
Waveform makeLandingSound();
// The winner's sting: a rising brass arpeggio onto a held major chord; 1.5 s.
Waveform makeWinSound();
// The loser's sting: a falling minor line onto a chord that sags; 1.5 s.
Waveform makeLoseSound();
// The menu click for ENTER: a short bright tick; 0.08 s.
Waveform makeClickSound();
