#pragma once

// In an AddressSanitizer build, runs the leak check now instead of at exit; elsewhere does
// nothing. The game calls it after the scene is gone and before the window library ends:
// ending it unloads the GL driver, whose own lifetime allocations would then turn up as
// leaks from an unknown module that no suppression can name.
void checkLeaksBeforeDriverUnload();
