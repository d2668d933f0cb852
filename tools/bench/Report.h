#pragma once

#include "FrameSample.h"

#include <iosfwd>
#include <string>
#include <vector>

// The frames measured of one kind of frame.
struct Run {
    const char* name;
    std::vector<FrameSample> samples;
};

// The table of the runs side by side: median, p90, min and max of every figure; then each
// run's frames per second and the first run's median whole frame over each other run's. Every
// run needs at least one frame.
void printReport(std::ostream& out, const std::vector<Run>& runs);

// The run's frames over the wall time they took, per second: what a frame counter shows.
double framesPerSecond(const Run& run);

// One row per measured frame: the run's name, the frame's index, whether it was GPU timed, its
// figures. False when the file cannot be written.
bool writeCsv(const std::string& path, const std::vector<Run>& runs);
