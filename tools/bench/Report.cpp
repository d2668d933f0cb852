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
        out << run << ',' << frame;
        for (double value : samples[frame].ms) {
            out << ',' << value;
        }
        out << '\n';
    }
}

} // namespace

void printReport(std::ostream& out, const std::vector<FrameSample>& game,
                 const std::vector<FrameSample>& floor) {
    const int runWidth = kNumberWidth * kStatsPerRun;
    out << std::left << std::setw(kLabelWidth) << "ms" << std::right << std::setw(runWidth)
        << "game" << std::setw(runWidth) << "floor" << '\n'
        << std::setw(kLabelWidth) << "";
    printStatsHeader(out);
    printStatsHeader(out);
    out << '\n' << std::fixed << std::setprecision(kDecimals);
    for (int figure = 0; figure < FrameSample::FigureCount; ++figure) {
        const auto f = static_cast<FrameSample::Figure>(figure);
        out << std::left << std::setw(kLabelWidth) << kFigureLabels[figure] << std::right;
        printStats(out, summarise(game, f));
        printStats(out, summarise(floor, f));
        out << '\n';
    }
    const double gameFrame = summarise(game, FrameSample::WholeFrame).median;
    const double floorFrame = summarise(floor, FrameSample::WholeFrame).median;
    out << std::setprecision(1) << "frames per second (median whole frame): game "
        << kMillisecondsPerSecond / gameFrame << ", floor " << kMillisecondsPerSecond / floorFrame
        << '\n'
        << std::setprecision(2) << "game / floor, median whole frame: " << gameFrame / floorFrame
        << '\n';
}

bool writeCsv(const std::string& path, const std::vector<FrameSample>& game,
              const std::vector<FrameSample>& floor) {
    std::ofstream out(path);
    out << "run,frame";
    for (const char* column : kFigureColumns) {
        out << ',' << column;
    }
    out << '\n' << std::fixed << std::setprecision(4);
    writeRows(out, "game", game);
    writeRows(out, "floor", floor);
    out.flush();
    return static_cast<bool>(out);
}
