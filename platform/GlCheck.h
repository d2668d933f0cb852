#pragma once

// Reports one pending GL error, if any, under a label naming the place of the check:
// "Error @ <label>:" and a message line on standard error. Known errors are reported and
// execution goes on; an error code outside the known set ends the process with a failure.
// The label is a plain string so that the checks a frame runs allocate nothing.
void checkGlError(const char* label);

// The reporting half of checkGlError for an error code already fetched from glGetError.
void reportGlError(const char* label, unsigned int errorCode);
