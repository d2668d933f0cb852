#include "client/Settings.h"

#include <algorithm>
#include <cctype>
#include <tuple>

bool Settings::operator==(const Settings& other) const {
    const auto fields = [](const Settings& s) {
        return std::tie(s.fullscreen, s.quality, s.renderScale, s.masterVolume, s.engineVolume,
                        s.aim, s.mouseSensitivity, s.invertPitch, s.radar, s.rules, s.skill, s.mode,
                        s.tanks, s.teams, s.battleSkill, s.fragLimit, s.timeLimitSeconds, s.name,
                        s.arena);
    };
    return fields(*this) == fields(other);
}

bool Settings::validArena(const std::string& name) {
    constexpr std::size_t kMaxArenaName = 32;
    if (name.empty() || name.size() > kMaxArenaName || name[0] == '.') {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == ' ' || c == '_' ||
               c == '-' || c == '.';
    });
}

MatchSetup Settings::matchSetup() const {
    if (mode == Mode::Battle) {
        return MatchSetup::battle(tanks, teams, fragLimit, timeLimitSeconds, battleSkill).clamped();
    }
    return MatchSetup::duel(rules, skill);
}
