#include "FigureStats.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kP90Share = 0.9;

} // namespace

FigureStats summarise(const std::vector<FrameSample>& samples, FrameSample::Figure figure) {
    std::vector<double> values;
    values.reserve(samples.size());
    for (const FrameSample& sample : samples) {
        if (sample.countsFor(figure)) {
            values.push_back(sample.ms[figure]);
        }
    }
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    FigureStats stats;
    if (n == 0) {
        return stats;
    }
    stats.median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
    const auto rank = static_cast<size_t>(std::ceil(kP90Share * static_cast<double>(n)));
    stats.p90 = values[std::max<size_t>(rank, 1) - 1];
    stats.min = values.front();
    stats.max = values.back();
    return stats;
}
