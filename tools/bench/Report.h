#pragma once

#include "FrameSample.h"

#include <iosfwd>
#include <string>
#include <vector>

// The table of both runs: median, p90, min and max of every figure, and the ratio of the
// game's median whole frame to the floor's. Both runs need at least one frame.
void printReport(std::ostream& out, const std::vector<FrameSample>& game,
                 const std::vector<FrameSample>& floor);

// One row per measured frame: the run ("game" or "floor"), the frame's index, its figures.
// False when the file cannot be written.
bool writeCsv(const std::string& path, const std::vector<FrameSample>& game,
              const std::vector<FrameSample>& floor);
