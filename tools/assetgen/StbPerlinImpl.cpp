// The one translation unit that compiles stb_perlin.
#define STB_PERLIN_IMPLEMENTATION
#include <stb/stb_perlin.h>
