#pragma once

#include "Waveform.h"

// The game's sounds. Each maker returns the shape of its sound at whatever level its synthesis
// leaves it; the generator writes every file normalised to the same peak, kSoundFilePeak, so
// that each file uses the whole 16-bit range. How loud each kind plays against the others is
// the game's mix, set in audio/AudioSystem.cpp, not here.
//
// The peak is a decibel under full scale: every file keeps all but 0.2 bits of its resolution,
// and an engine loop resampled to a higher pitch, whose interpolated samples can overshoot the
// stored ones, stays clear of the 16-bit limit.
inline constexpr float kSoundFilePeak = 0.891f; // of full scale, -1 dBFS

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
