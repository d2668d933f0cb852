#include "game/Skill.h"

#include <array>

namespace {
// Classic reads none of these: its row only fills the table.
constexpr std::array<SkillFigures, kSkillCount> kFigures{{
    // react cone range shots engines memory bullets | aim lead tolerance fire | dodge cover think
    // engage climb
    {0.0f, 360.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
     0.0f},
    {0.50f, 90.0f, 22.0f, 14.0f, 5.0f, 3.0f, 12.0f, 6.0f, 0.45f, 4.0f, 16.0f, 0.15f, 0.2f, 0.8f,
     10.0f, 0.3f},
    {0.30f, 110.0f, 32.0f, 22.0f, 8.0f, 8.0f, 18.0f, 3.0f, 0.20f, 2.5f, 22.0f, 0.55f, 0.7f, 0.5f,
     12.0f, 0.4f},
    {0.20f, 130.0f, 40.0f, 30.0f, 10.0f, 15.0f, 24.0f, 2.0f, 0.12f, 1.5f, 26.0f, 0.85f, 0.9f, 0.3f,
     12.0f, 0.4f},
}};

constexpr std::array<const char*, kSkillCount> kNames{"classic", "rookie", "veteran", "ace"};
} // namespace

const SkillFigures& skillFigures(Skill skill) {
    return kFigures[static_cast<std::size_t>(skill)];
}

const char* skillName(Skill skill) {
    return kNames[static_cast<std::size_t>(skill)];
}

bool parseSkill(std::string_view name, Skill& skill) {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (name == kNames[i]) {
            skill = static_cast<Skill>(i);
            return true;
        }
    }
    return false;
}
