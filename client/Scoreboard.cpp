#include "client/Scoreboard.h"

#include <algorithm>
#include <tuple>

void Scoreboard::sort() {
    std::sort(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(count),
              [](const ScoreLine& a, const ScoreLine& b) {
                  return std::make_tuple(-a.frags, a.deaths, a.seat) <
                         std::make_tuple(-b.frags, b.deaths, b.seat);
              });
}
