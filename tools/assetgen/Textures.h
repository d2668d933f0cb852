#pragma once

#include "Image.h"

// The painted textures of the game. Every one but the sky tiles seamlessly, because the
// game repeats them over surfaces larger than one copy.

// Neutral light grey with a faint grain: the scene's fallback texture. 256 × 256 RGB.
Image makeDefaultTexture();
// Dry dirt and grass with pebbles, for the ground slabs. 512 × 512 RGB.
Image makeGroundTexture();
// Stone blocks in mortar with weathering, for walls, blocks and bullets. 512 × 512 RGB.
Image makeWallTexture();
// Woodland camouflage for both tanks (the game tints one of them). 512 × 512 RGB.
Image makeCamouflageTexture();
// Daytime sky with clouds above a band of distant hills, shown full-screen behind the
// arena; the top of the picture is the top of the screen. 1024 × 512 RGB.
Image makeSkyTexture();
