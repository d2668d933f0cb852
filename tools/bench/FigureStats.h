#pragma once

#include "FrameSample.h"

#include <vector>

// Order statistics of one figure over a run of frames, in milliseconds.
struct FigureStats {
    double median = 0.0;
    double p90 = 0.0; // nearest rank: at least 90 % of the frames take no longer
    double min = 0.0;
    double max = 0.0;
};

// Over the samples that count for the figure (FrameSample::countsFor); all zero when none do.
FigureStats summarise(const std::vector<FrameSample>& samples, FrameSample::Figure figure);
