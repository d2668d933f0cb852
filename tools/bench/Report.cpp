#include "Report.h"

#include "FigureStats.h"

#include <fstream>
#include <iomanip>
#include <ostream>

namespace {

constexpr int kLabelWidth = 14;
constexpr int kNumberWidth = 9;
constexpr int kDecimals = 3;
constexpr int kStatsPerRun = 4;
constexpr double kMillisecondsPerSecond = 1000.0;

void printStats(std::ostream& out, const FigureStats& stats) {
    for (double value : {stats.median, stats.p90, stats.min, stats.max}) {
        out << std::setw(kNumberWidth) << value;
    }
}

void printStatsHeader(std::ostream& out) {
    for (const char* name : {"median", "p90", "min", "max"}) {
        out << std::setw(kNumberWidth) << name;
    }
}

void writeRows(std::ostream& out, const char* run, const std::vector<FrameSample>& samples) {
    for (size_t frame = 0; frame < samples.size(); ++frame) {
        out << run << ',' << frame << ',' << (samples[frame].gpuTimed ? 1 : 0);
        for (double value : samples[frame].ms) {
            out << ',' << value;
        }
        out << '\n';
    }
}

} // namespace

void printReport(std::ostream& out, const std::vector<Run>& runs) {
    const int runWidth = kNumberWidth * kStatsPerRun;
    out << std::left << std::setw(kLabelWidth) << "ms" << std::right;
    for (const Run& run : runs) {
        out << std::setw(runWidth) << run.name;
    }
    out << '\n' << std::setw(kLabelWidth) << "";
    for (std::size_t i = 0; i < runs.size(); ++i) {
        printStatsHeader(out);
    }
    out << '\n' << std::fixed << std::setprecision(kDecimals);
    for (int figure = 0; figure < FrameSample::FigureCount; ++figure) {
        const auto f = static_cast<FrameSample::Figure>(figure);
        out << std::left << std::setw(kLabelWidth) << kFigureLabels[figure] << std::right;
        for (const Run& run : runs) {
            printStats(out, summarise(run.samples, f));
        }
        out << '\n';
    }
    out << std::setprecision(1) << "frames per second (frames over the time they took):";
    for (std::size_t i = 0; i < runs.size(); ++i) {
        out << (i == 0 ? " " : ", ") << runs[i].name << ' ' << framesPerSecond(runs[i]);
    }
    out << '\n' << std::setprecision(2);
    const double first = summarise(runs.front().samples, FrameSample::WholeFrame).median;
    for (std::size_t i = 1; i < runs.size(); ++i) {
        out << runs.front().name << " / " << runs[i].name << ", median whole frame: "
            << first / summarise(runs[i].samples, FrameSample::WholeFrame).median << '\n';
    }
}

double framesPerSecond(const Run& run) {
    double milliseconds = 0.0;
    std::size_t frames = 0;
    for (const FrameSample& sample : run.samples) {
        if (sample.countsFor(FrameSample::WholeFrame)) {
            milliseconds += sample.ms[FrameSample::WholeFrame];
            ++frames;
        }
    }
    return milliseconds > 0.0 ? static_cast<double>(frames) * kMillisecondsPerSecond / milliseconds
                              : 0.0;
}

bool writeCsv(const std::string& path, const std::vector<Run>& runs) {
    std::ofstream out(path);
    out << "run,frame,gpu_timed";
    for (const char* column : kFigureColumns) {
        out << ',' << column;
    }
    out << '\n' << std::fixed << std::setprecision(4);
    for (const Run& run : runs) {
        writeRows(out, run.name, run.samples);
    }
    out.flush();
    return static_cast<bool>(out);
}
