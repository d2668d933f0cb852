// The one translation unit that compiles stb_truetype.
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb/stb_truetype.h>
