#include "client/Settings.h"

#include <tuple>

bool Settings::operator==(const Settings& other) const {
    const auto fields = [](const Settings& s) {
        return std::tie(s.fullscreen, s.quality, s.renderScale, s.masterVolume, s.engineVolume,
                        s.aim, s.mouseSensitivity, s.invertPitch, s.radar, s.rules, s.skill, s.mode,
                        s.tanks, s.teams, s.battleSkill, s.fragLimit, s.timeLimitSeconds, s.name);
    };
    return fields(*this) == fields(other);
}

MatchSetup Settings::matchSetup() const {
    if (mode == Mode::Battle) {
        return MatchSetup::battle(tanks, teams, fragLimit, timeLimitSeconds, battleSkill).clamped();
    }
    return MatchSetup::duel(rules, skill);
}
