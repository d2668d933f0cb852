#pragma once

#include "Image.h"

// The application icon: the side view of a tank, gun to the right, on a round badge of sky
// over sand; transparent outside the badge. size × size RGBA, edges antialiased.
Image makeTankIcon(int size);
