#include "client/Settings.h"

#include <tuple>

bool Settings::operator==(const Settings& other) const {
    const auto fields = [](const Settings& s) {
        return std::tie(s.fullscreen, s.quality, s.renderScale, s.masterVolume, s.engineVolume,
                        s.mouseSensitivity, s.invertPitch, s.radar, s.rules, s.skill);
    };
    return fields(*this) == fields(other);
}
