#pragma once

#include <string>

// Reports one pending GL error, if any, under a label naming the place of the check:
// "Error @ <label>:" and a message line on standard error. Known errors are reported and
// execution goes on; an error code outside the known set ends the process with a failure.
void checkGlError(const std::string& label);

// The reporting half of checkGlError for an error code already fetched from glGetError.
void reportGlError(const std::string& label, unsigned int errorCode);
