#pragma once

// The asset tree, relative to the working directory the game is started from.
inline constexpr const char* kShaderDir = "../Brakkel_game/Shaders/";
inline constexpr const char* kTextureDir = "../Brakkel_game/Textures/";
inline constexpr const char* kModelDir = "../Brakkel_game/Models/";
inline constexpr const char* kSoundDir = "../Brakkel_game/Sounds/";
